#pragma once
// The screen source a desktop test uses: the platform's own, which on an X display must be
// the X11 one and not the fake.

#include "platform/FakeScreenSource.h"
#include "platform/ScreenSource.h"

#include <gtest/gtest.h>

#include <memory>

namespace vorlix::test {

inline std::unique_ptr<ScreenSource> x11Source()
{
    std::unique_ptr<ScreenSource> source = makePlatformScreenSource();
    EXPECT_EQ(dynamic_cast<FakeScreenSource*>(source.get()), nullptr) << "not the X11 source";
    return source;
}

} // namespace vorlix::test
