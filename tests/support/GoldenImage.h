#pragma once
// The one golden-image check of every test program. A golden is a small PNG in
// tests/golden, named after what it shows. Pixels are compared after conversion to
// straight 8-bit ARGB: a pixel matches when every channel is within `channel` of the
// golden's, and the picture matches when at most `outliers` pixels do not (antialiased
// edges move a little between library versions).
//
// On a mismatch the actual, expected and diff images are written into this test
// program's build folder (<name>-actual.png, -expected.png, -diff.png), never into the
// source tree. With VORLIX_UPDATE_GOLDEN=1 in the environment a missing or mismatching
// golden is written from the actual image instead, and the check passes.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace vorlix::test {

struct GoldenTolerance {
    int channel = 6;
    int outliers = 20;
};

::testing::AssertionResult matchesGolden(const QImage& actual, const QString& name, GoldenTolerance tolerance = {});

} // namespace vorlix::test
