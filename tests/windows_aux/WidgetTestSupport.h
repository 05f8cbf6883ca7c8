#pragma once
// Shared ground of the widget tests: a main window stand-in that records what the job list
// window and the table chooser ask of it, and a job list window whose dialogs answer from the
// test instead of waiting for a user.

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTest>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/ConfirmDialogModel.h"
#include "windows/JobWindowOwner.h"
#include "windows/TfmJob.h"
#include "windows/TfrmMsgBox.h"

namespace tabrook::testing {

class FakeOwner : public JobWindowOwner {
public:
    bool Connected() const override { return connected; }
    void StartJobListRun() override {
        ++runs;
        if (onRun) onRun();
    }
    void ShowSettings() override { ++settingsShown; }
    void SwitchMode(int mode) override { switchedTo.push_back(mode); }
    void SetTableAndPreview(const std::string& table) override { previewed.push_back("table:" + table); }
    void SetCsvAndPreview(const std::string& csv) override { previewed.push_back("csv:" + csv); }
    void EscapePressed() override { ++escapes; }
    std::string CsvOpenFolder() const override { return csvFolder; }

    bool connected = true;
    int runs = 0;
    std::function<void()> onRun;
    int settingsShown = 0;
    std::vector<int> switchedTo;
    std::vector<std::string> previewed;
    int escapes = 0;
    std::string csvFolder;
};

class ScriptedJobWindow : public TfmJob {
public:
    using TfmJob::TfmJob;

    QString openAnswer, saveAnswer, csvAnswer, folderAnswer;
    int confirmAnswer = kConfirmStart;
    std::vector<QString> asked;  // what each dialog was opened with, in order
    std::vector<QString> warnings;
    std::vector<std::string> confirmLines;

protected:
    QString ChooseListFileToOpen() override {
        asked.push_back("open");
        return openAnswer;
    }
    QString ChooseListFileToSave() override {
        asked.push_back("save");
        return saveAnswer;
    }
    QString ChooseCsvFile(const QString& current) override {
        asked.push_back("csv:" + current);
        return csvAnswer;
    }
    QString ChooseFolder(const QString& start) override {
        asked.push_back("folder:" + start);
        return folderAnswer;
    }
    int Confirm() override {
        const ConfirmDialogModel& model = MsgBox().Model();
        confirmLines = {model.MsgText[0], model.MsgText[1], model.MsgText[2], std::to_string(model.BoxMode)};
        return confirmAnswer;
    }
    void Warn(const QString& text) override { warnings.push_back(text); }
    bool AskYesNo(const QString& text) override {
        questions.push_back(text);
        return yesAnswer;
    }

public:
    std::vector<QString> questions;
    bool yesAnswer = true;
};

// A double click as the platform delivers it: press, release, double click, release.
inline void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

// Lets queued events run until done() holds or timeoutMs passes; false on timeout.
inline bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace tabrook::testing
