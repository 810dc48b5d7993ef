// The dialog procedure of every page of both sheets, each defined in its page's own file.
#pragma once

#include <windows.h>

namespace krv {

// Document sheet (page parameter: DocumentSheetContext*)
INT_PTR CALLBACK DuplexPageProc(HWND, UINT, WPARAM, LPARAM);  // 132 docpages/duplex_page_win.cpp
INT_PTR CALLBACK LayoutPageProc(HWND, UINT, WPARAM, LPARAM);  // 128 docpages/layout_page_win.cpp
INT_PTR CALLBACK WatermarkPageProc(HWND, UINT, WPARAM,
                                   LPARAM);  // 131 docpages/watermark_page_win.cpp
INT_PTR CALLBACK OperationsPageProc(HWND, UINT, WPARAM,
                                    LPARAM);  // 103 docpages/operations_page_win.cpp
INT_PTR CALLBACK BarcodePageProc(HWND, UINT, WPARAM, LPARAM);  // 117 docpages/barcode_page_win.cpp
INT_PTR CALLBACK TwoDimensionalPageProc(HWND, UINT, WPARAM,
                                        LPARAM);  // 118 docpages/two_dimensional_page_win.cpp
// Printer sheet (page parameter: PrinterSheetContext*)
INT_PTR CALLBACK ApplicationPageProc(HWND, UINT, WPARAM,
                                     LPARAM);  // 114 devpages/application_page_win.cpp
INT_PTR CALLBACK DownloadPageProc(HWND, UINT, WPARAM,
                                  LPARAM);                   // 113 devpages/download_page_win.cpp
INT_PTR CALLBACK FontsPageProc(HWND, UINT, WPARAM, LPARAM);  // 119 devpages/fonts_page_win.cpp
// Both sheets
INT_PTR CALLBACK VersionPageProc(HWND, UINT, WPARAM, LPARAM);  // 105 frame/version_page_win.cpp

}  // namespace krv
