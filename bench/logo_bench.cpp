// The logo converters on the largest picture the page admits (1024 x 768): each halftone
// method in memory (budget 5 ms), and one whole file conversion as the page does it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/bmp_format.h"
#include "files/files.h"
#include "imaging/halftone.h"
#include "imaging/logo_convert.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A smooth colour field with some texture, so every method has decisions to make.
std::vector<uint8_t> Picture(bool trueColour) {
    const int channels = trueColour ? 3 : 1;
    std::vector<uint8_t> rows(static_cast<size_t>(kWidth) * kHeight * channels);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth * channels; ++x)
            rows[(static_cast<size_t>(y) * kWidth * channels) + x] =
                static_cast<uint8_t>((x / channels) * 255 / kWidth + ((x * 7 + y * 13) % 23));
    return rows;
}

void BM_LogoHalftone(benchmark::State& state) {
    const bool trueColour = state.range(0) == 24;
    const auto method = static_cast<krv::HalftoneMethod>(state.range(1));
    const std::vector<uint8_t> rows = Picture(trueColour);
    const krv::RowsView view{rows.data(), kWidth, kHeight,
                             static_cast<uint64_t>(kWidth) * (trueColour ? 3 : 1)};
    const uint64_t outStride = krv::Stride1(kWidth);
    std::vector<uint8_t> out(outStride * kHeight);
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0);
        if (trueColour)
            krv::HalftoneRgb24Rows(view, method, 20, -10, {out.data(), outStride});
        else
            krv::HalftoneGrey8Rows(view, method, 20, -10, {out.data(), outStride});
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_LogoHalftone)
    ->ArgNames({"bits", "method"})
    ->ArgsProduct({{24, 8}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

void BM_LogoGrey(benchmark::State& state) {
    const std::vector<uint8_t> rows = Picture(true);
    const krv::RowsView view{rows.data(), kWidth, kHeight, static_cast<uint64_t>(kWidth) * 3};
    const uint64_t outStride = krv::Stride8(kWidth);
    std::vector<uint8_t> out(outStride * kHeight);
    for (auto _ : state) {
        krv::Rgb24RowsToGrey8(view, 20, -10, {out.data(), outStride});
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_LogoGrey)->Unit(benchmark::kMillisecond);

// Read the 24-bit file, halftone, write the work file: the page's whole conversion.
void BM_LogoConvertFile(benchmark::State& state) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "krv_logo_bench";
    std::filesystem::create_directories(dir);
    const std::u16string source = (dir / "picture.bmp").u16string();
    const std::vector<uint8_t> rows = Picture(true);
    std::vector<uint8_t> file(54 + rows.size());
    krv::BmpHeaders h;
    h.type = krv::kBmpType;
    h.fileSize = static_cast<uint32_t>(file.size());
    h.dataOffset = 54;
    h.headerSize = 40;
    h.width = kWidth;
    h.height = kHeight;
    h.planes = 1;
    h.bitCount = 24;
    krv::StoreBmpHeaders(h, file.data());
    std::copy(rows.begin(), rows.end(), file.begin() + 54);
    krv::WriteWholeFile(source, file.data(), file.size());
    const auto method = static_cast<krv::HalftoneMethod>(state.range(0));
    for (auto _ : state) {
        const auto r = krv::HalftoneToMono(source, krv::LogoWorkFile(source), method, 0, 0);
        if (!r.Written()) state.SkipWithError("conversion failed");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LogoConvertFile)->ArgName("method")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
