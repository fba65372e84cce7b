#include "tests/common/fake_platform.h"

#include "support/program_state.h"

namespace pbp::test {

ScopedFakePlatform::ScopedFakePlatform() : previous_(platform()) {
    Platform fake;
    fake.messages = &messages;
    fake.urls = &urls;
    fake.process = &process;
    fake.registryFile = dir.filePath(QStringLiteral("config/registry"));
    fake.programFolder = dir.path();
    setPlatform(fake);
    ResetProgramState();
}

ScopedFakePlatform::~ScopedFakePlatform() {
    setPlatform(previous_);
    ResetProgramState();
}

}  // namespace pbp::test
