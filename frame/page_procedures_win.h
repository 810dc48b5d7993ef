// The dialog procedure of every page of both sheets, each defined in its page's own file.
#pragma once

#include <windows.h>

namespace krv {

// Document sheet (page parameter: DocumentSheetContext*)
INT_PTR CALLBACK DuplexPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK LayoutPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK WatermarkPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK OperationsPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK BarcodePageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK TwoDimensionalPageProc(HWND, UINT, WPARAM, LPARAM);
// Printer sheet (page parameter: PrinterSheetContext*)
INT_PTR CALLBACK ApplicationPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DownloadPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FontsPageProc(HWND, UINT, WPARAM, LPARAM);
// Both sheets
INT_PTR CALLBACK VersionPageProc(HWND, UINT, WPARAM, LPARAM);

}  // namespace krv
