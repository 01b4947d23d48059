#include "app/support/Files.h"

#include "support/EventLoopWaits.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_window.setGeometry(100, 100, 600, 400);
        m_window.show();
    }

    void TearDown() override { test::runDeferredDeletes(); }

    // The save dialog open on the window, pointed at the test folder.
    QFileDialog* saveDialog()
    {
        auto* dialog = m_window.findChild<QFileDialog*>();
        if (dialog)
            dialog->setDirectory(m_dir.path());
        return dialog;
    }

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    QTemporaryDir m_dir;
    QWidget m_window;
};

} // namespace

TEST_F(FilesTest, TheSaveDialogOffersPNGWithTheNameAndReplacesTheChosenFile)
{
    {
        QFile old(path(u"Schermata.png"_s));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("vecchio contenuto, più lungo del nuovo");
    }
    const QByteArray data("\x89PNG\r\n\x1a\nnuovo", 13);
    Files::savePNG(data, u"Schermata"_s, &m_window);

    QFileDialog* dialog = saveDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->nameFilters(), QStringList{u"Immagine PNG (*.png)"_s});
    EXPECT_EQ(dialog->defaultSuffix(), u"png"_s);
    dialog->selectFile(u"Schermata.png"_s);
    ASSERT_EQ(dialog->selectedFiles(), QStringList{path(u"Schermata.png"_s)});

    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    EXPECT_EQ(readAll(path(u"Schermata.png"_s)), data);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{u"Schermata.png"_s}) << "no temporary left";
    EXPECT_EQ(m_window.findChild<QMessageBox*>(), nullptr);
}

TEST_F(FilesTest, CancellingWritesNothing)
{
    Files::savePNG("png", u"Schermata"_s, &m_window);
    QFileDialog* dialog = saveDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(u"Schermata.png"_s);
    dialog->reject();
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
    EXPECT_EQ(m_window.findChild<QMessageBox*>(), nullptr);
}

TEST_F(FilesTest, AFailedWriteIsShownWithTheSystemsMessage)
{
    // A folder where the file should go: it cannot be replaced by a file.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"Occupato.png"_s));
    const std::optional<QString> expectedError = Files::writeAtomically(path(u"Occupato.png"_s), "png");
    ASSERT_TRUE(expectedError.has_value());

    Files::savePNG("png", u"Occupato"_s, &m_window);
    QFileDialog* dialog = saveDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(u"Occupato.png"_s);
    ASSERT_EQ(dialog->selectedFiles(), QStringList{path(u"Occupato.png"_s)});
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);

    auto* alert = m_window.findChild<QMessageBox*>();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->isVisible());
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(alert->text().contains(u"Occupato.png"_s));
    EXPECT_EQ(alert->informativeText(), *expectedError);
    EXPECT_TRUE(QFileInfo(path(u"Occupato.png"_s)).isDir());
}

TEST(Files, WriteAtomicallyReportsTheSystemsMessage)
{
    QTemporaryDir dir;
    const QString missing = QDir(dir.path()).filePath(u"manca/file.png"_s);
    const std::optional<QString> error = Files::writeAtomically(missing, "png");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
}
