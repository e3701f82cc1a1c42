#include "tests/app/FakeMainView.h"

#include <memory>
#include <vector>

#include "platform/core/FileUtils.h"
#include "tests/TempFolder.h"

int TFakeMainView::Ask(const std::string& text, TMsgButtons) {
    Questions.push_back(text);
    if (WhileAsked) WhileAsked();
    if (Answers.empty()) return mrOk;
    int a = Answers.front();
    Answers.pop_front();
    return a;
}

bool TFakeMainView::OpenFileDialog(int, const std::string&, const std::string&, std::string& chosen) {
    if (OpenChoices.empty()) return false;
    chosen = OpenChoices.front();
    OpenChoices.pop_front();
    return !chosen.empty();
}

bool TFakeMainView::SaveFileDialog(const std::string&, const std::string& fileName, std::string& chosen) {
    SaveProposals.push_back(fileName);
    if (SaveChoices.empty()) return false;
    chosen = SaveChoices.front();
    SaveChoices.pop_front();
    return !chosen.empty();
}

int TFakeMainView::AskInsertMode() {
    if (InsertModes.empty()) return -1;
    int m = InsertModes.front();
    InsertModes.pop_front();
    return m;
}

std::string MakeTempDir() {
    // Removed, with everything in them, when the test program ends.
    static std::vector<std::unique_ptr<TTempFolder>> folders;
    folders.push_back(std::make_unique<TTempFolder>("morvane-app"));
    return folders.back()->Path();
}

void WriteFile(const std::string& path, const std::string& bytes) { WriteFileAtomic(path, bytes); }

std::string ReadFile(const std::string& path) {
    std::string data;
    ReadFileBytes(path, data);
    return data;
}
