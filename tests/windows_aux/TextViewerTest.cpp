// The read-only viewer of error files: UTF-8 and Shift-JIS files read as text, the file left
// untouched and the viewer read-only, and a file that cannot be read said so in the viewer.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "windows/QtHost.h"
#include "windows/TextViewer.h"

namespace tabrook::testing {
namespace {

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QString text;
};

class TextViewerDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TextViewerDecoding, ShowsTheFileAsText) {
    QTemporaryDir folder;
    const QString path = folder.filePath("data.erm");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().bytes);
    file.close();
    TextViewer viewer;
    ASSERT_TRUE(viewer.Open(path));
    EXPECT_EQ(viewer.toPlainText(), GetParam().text);
    EXPECT_TRUE(viewer.isReadOnly());
    EXPECT_EQ(viewer.windowTitle(), "data.erm");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), GetParam().bytes);  // only read
}

INSTANTIATE_TEST_SUITE_P(Widgets, TextViewerDecoding,
                         ::testing::Values(DecodeCase{"Utf8", QByteArray("ORA-01722: \xE6\x95\xB0\xE5\x80\xA4\n"),
                                                      QString::fromUtf8("ORA-01722: 数値\n")},
                                           // データ in Shift-JIS: not valid UTF-8.
                                           DecodeCase{"ShiftJis", QByteArray("\x83\x66\x81\x5B\x83\x5E,1\n"),
                                                      QString::fromUtf8("データ,1\n")},
                                           DecodeCase{"Empty", QByteArray(), QString()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextViewer, AFileThatCannotBeReadIsSaidSo) {
    TextViewer* viewer = ShowTextFile("/no/such/folder/data.err");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->toPlainText().startsWith(QString::fromUtf8("ファイルを開けません: /no/such/folder/data.err")));
    EXPECT_TRUE(viewer->testAttribute(Qt::WA_DeleteOnClose));
    viewer->close();
}

// The host's text viewer is this viewer: a window of its own over the file, Shift-JIS decoded,
// deleted when closed.
TEST(TextViewer, TheHostShowsErrorFilesInIt) {
    QTemporaryDir folder;
    const QString path = folder.filePath("t2.erm");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("ORA-01722: \x90\x94\x92\x6C\n");  // Shift-JIS
    file.close();
    QtHost host;
    host.ShowInTextViewer(path.toStdString());
    TextViewer* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* viewer = qobject_cast<TextViewer*>(window);
        if (viewer != nullptr && viewer->Path() == path) shown = viewer;
    }
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->toPlainText(), QString::fromUtf8("ORA-01722: 数値\n"));
    EXPECT_TRUE(shown->testAttribute(Qt::WA_DeleteOnClose));
    shown->close();
}

}  // namespace
}  // namespace tabrook::testing
