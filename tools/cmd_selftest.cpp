// krv857 selftest: the application page's self-test job.
#include "jobs/self_test.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 selftest -o DST\n"
    "\n"
    "writes the \"SELFTEST\" job that asks the printer for its status print\n"
    "(1D 28 41 02 00 00 02)\n";

int RunSelfTest(Args& args) {
    std::string outPath;
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o FILE is required");
    args.Exactly(0);
    return WriteJob(BuildSelfTestJob(), outPath);
}

}  // namespace

KRV_TOOL_COMMAND(selftest, "selftest", "the printer's self-test (status) print", kUsage,
                 RunSelfTest);

}  // namespace krv::tool
