#include "app/shell/startup/ForwardedArguments.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::ForwardedArguments;
using Status = Decoded::Status;

namespace {

QByteArray number(std::uint32_t value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    return QByteArray(bytes, 4);
}

} // namespace

TEST(ForwardedArguments, PathsBecomeAbsoluteFileURLsPathsAndOtherURLsStayAsTheyAre)
{
    QTemporaryDir folder;
    QFile looksLikeURL(folder.filePath(QStringLiteral("a:b.png")));
    ASSERT_TRUE(looksLikeURL.open(QIODevice::WriteOnly));
    const QString here = folder.path();
    struct Case {
        QString argument;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("vorlix://capture/screen"), QStringLiteral("vorlix://capture/screen")},
        {QStringLiteral("VORLIX:capture/area"), QStringLiteral("VORLIX:capture/area")},
        {QStringLiteral("file:///tmp/x.png"), QStringLiteral("/tmp/x.png")},
        {QStringLiteral("file:///tmp/perch%C3%A9%20s%C3%AC.png"), QStringLiteral("/tmp/perché sì.png")},
        {QStringLiteral("file://otherhost/x.png"), QStringLiteral("file://otherhost/x.png")},
        {QStringLiteral("https://example.invalid/x.png"), QStringLiteral("https://example.invalid/x.png")},
        {QStringLiteral("shot.png"), here + QStringLiteral("/shot.png")},
        {QStringLiteral("../up/./shot 1.png"), QDir::cleanPath(here + QStringLiteral("/../up/shot 1.png"))},
        {QStringLiteral("/abs/shot.png"), QStringLiteral("/abs/shot.png")},
        {QStringLiteral("a:b.png"), here + QStringLiteral("/a:b.png")},
        {QStringLiteral("c:x"), here + QStringLiteral("/c:x")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument.toStdString());
        EXPECT_EQ(forwardable({c.argument}, here), QStringList{c.expected});
    }
    EXPECT_EQ(forwardable({QString(), QStringLiteral("vorlix://capture/area")}, here),
              QStringList{QStringLiteral("vorlix://capture/area")});
}

TEST(ForwardedArguments, AMessageReadsBackOnlyOnceWhole)
{
    const QStringList arguments{QStringLiteral("vorlix://capture/screen"), QStringLiteral("/tmp/perché sì.png"),
                                QString(), QString(4096, u'x')};
    const QByteArray message = encode(arguments);
    for (qsizetype cut = 0; cut < message.size(); ++cut) {
        SCOPED_TRACE(cut);
        ASSERT_EQ(decode(QByteArrayView(message).first(cut)).status, Status::incomplete);
    }
    const Decoded whole = decode(message + QByteArray("tail"));
    EXPECT_EQ(whole.status, Status::complete);
    EXPECT_EQ(whole.arguments, arguments);
    EXPECT_EQ(whole.length, message.size());
    EXPECT_EQ(decode(encode({})), (Decoded{.status = Status::complete, .arguments = {}, .length = 4}));
}

TEST(ForwardedArguments, ArgumentsPastTheLimitsAreLeftOutWhenSent)
{
    QStringList many;
    for (int i = 0; i < maximumArguments + 5; ++i)
        many.append(QString::number(i));
    EXPECT_EQ(decode(encode(many)).arguments, many.first(maximumArguments));
    const QStringList withLong{QStringLiteral("a"), QString(4097, u'x'), QStringLiteral("b")};
    EXPECT_EQ(decode(encode(withLong)).arguments, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(ForwardedArguments, AnUnreadableMessageIsRefusedWhole)
{
    struct Case {
        const char* what;
        QByteArray message;
    };
    const Case cases[] = {
        {"too many arguments", number(maximumArguments + 1)},
        {"an argument too long", number(1) + number(4097) + QByteArray(4097, 'x')},
        {"a length past any size", number(1) + number(0xffffffff)},
        {"no UTF-8", number(2) + number(1) + QByteArray("a") + number(2) + QByteArray("\xc3\x28")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decode(c.message).status, Status::invalid);
    }
}
