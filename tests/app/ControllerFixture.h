#pragma once
// The main window's commands driven through the recording stand-ins, with a temporary folder for
// the files a test writes.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/model/MainController.h"
#include "tests/TempFolder.h"
#include "tests/app/FakeMainView.h"

using TRowList = std::vector<std::pair<int, std::string>>;

class TControllerTest : public ::testing::Test {
protected:
    TFakeMainView view;
    TFakeMovie movie;
    TMainController main{view};
    TTempFolder dir;

    void SetUp() override { main.SetMovie(&movie); }
    // The captions of the list (the banner row left out): sync and stored text.
    TRowList Rows() const {
        TRowList r;
        for (int i = 1; i < main.Rows().Count(); ++i) r.emplace_back(main.Rows().Sync(i), main.Rows()[i].Text);
        return r;
    }
};
