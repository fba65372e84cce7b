#include "tests/common/fake_platform.h"

namespace pbp::test {

ScopedFakePlatform::ScopedFakePlatform() : previous_(platform()) {
    Platform fake;
    fake.messages = &messages;
    fake.urls = &urls;
    fake.appTitle = QStringLiteral("PlenBatchPrint");
    fake.process = &process;
    fake.registryFile = dir.filePath(QStringLiteral("config/registry"));
    fake.programFolder = dir.path();
    setPlatform(fake);
}

ScopedFakePlatform::~ScopedFakePlatform() {
    setPlatform(previous_);
}

}  // namespace pbp::test
