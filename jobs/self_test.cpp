#include "jobs/self_test.h"

namespace krv {

PrinterJob BuildSelfTestJob() {
    PrinterJob job;
    job.documentName = kSelfTestDocumentName;
    job.Add(Bytes(kSelfTestCommand.begin(), kSelfTestCommand.end()));
    return job;
}

bool SendSelfTest(SpoolerSeam& spooler) {
    return SendRawJob(spooler, BuildSelfTestJob());
}

}  // namespace krv
