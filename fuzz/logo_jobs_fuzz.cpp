// The logo page's download and back-side builders over any row files and any characters: the
// first byte picks the builder, the mode and the row count, the second the position byte,
// then come the characters, the source file and its work file. A refusal carries its message
// and no pieces; a job starts and ends with its fixed commands and never carries more than
// 2048 bytes of characters.
#include "jobs/logo_jobs.h"
#include "fuzz/fuzz_support.h"
#include "imaging/bmp_format.h"

using namespace krv;

namespace {

void CheckBackSide(const LogoJobOutcome& o) {
    const auto& pieces = o.job.pieces;
    KRV_FUZZ_CHECK(o.job.documentName == kBackSideDocumentName);
    KRV_FUZZ_CHECK(pieces.size() >= 4);
    KRV_FUZZ_CHECK(pieces.front() == (Bytes{0x1F, 0x68}) && pieces.back() == (Bytes{0x1F, 0x68}));
    KRV_FUZZ_CHECK(pieces[1].size() == 3 && pieces[1][2] <= 2);
    if (pieces.size() > 4 && pieces[4] == Bytes{0x0D, 0x0A})
        KRV_FUZZ_CHECK(pieces[3].size() <= kBackSideTextLimit);
}

void CheckDownload(const LogoJobOutcome& o, size_t rows) {
    const auto& pieces = o.job.pieces;
    KRV_FUZZ_CHECK(o.job.documentName == kLogoDocumentName);
    KRV_FUZZ_CHECK(pieces.size() >= 2);
    KRV_FUZZ_CHECK(pieces[0] == (Bytes{0x1B, 0x40}));
    KRV_FUZZ_CHECK(pieces[1].size() == 3 && pieces[1][2] == rows);
    if (!o.endedEarly) {
        KRV_FUZZ_CHECK(pieces.size() == 3 + 2 * rows);
        KRV_FUZZ_CHECK(pieces.back() == Bytes{0x0A});
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t control = in.Byte();
    const bool backSide = control & 1;
    const auto mode = static_cast<LogoMode>(control / 2 % 3);
    const size_t rowCount = control / 6 % 3;
    const int selected = static_cast<int>(control / 18 % 4) - 1;
    const uint8_t position = in.Byte();
    const std::u16string text = fuzz::Utf16Of(in.Chunk());
    const std::u16string source = fuzz::WriteTempFile("row.bmp", in.Chunk());
    const std::u16string work = fuzz::WriteTempFile("rowTemp.bmp", in.Rest());
    const std::vector<LogoRowFiles> rows(rowCount, LogoRowFiles{source, work});

    LogoJobOutcome o;
    if (backSide) {
        BackSideRequest r;
        r.text = text;
        r.position = static_cast<BackSidePosition>(position);
        r.mode = mode;
        r.rows = rows;
        r.selectedRow = selected;
        o = BuildBackSideJob(r);
    } else {
        o = BuildLogoDownloadJob(rows, mode);
    }
    switch (o.kind) {
        case LogoJobOutcome::Kind::Refused:
            KRV_FUZZ_CHECK(!o.message.empty() && o.job.pieces.empty());
            break;
        case LogoJobOutcome::Kind::Abandoned:
            KRV_FUZZ_CHECK(o.message.empty() && o.job.pieces.empty());
            break;
        case LogoJobOutcome::Kind::Job:
            backSide ? CheckBackSide(o) : CheckDownload(o, rows.size());
            break;
    }
    return 0;
}
