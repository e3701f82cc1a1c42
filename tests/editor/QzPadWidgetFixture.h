#pragma once
// A fixture for the editor control's window tests: a shown control with the default key
// bindings and the focus, and platform services that record (a clipboard in memory).

#include "editor/model/QzPadShortCut.h"
#include "editor/widget/QzPad.h"
#include "platform/gui/Services.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ShownPadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        services = std::make_shared<TRecordingServices>();
        previous = InstallServices(services);
        keys.ResetToDefaultShortCut();
        pad = std::make_unique<TQzPad>();
        pad->SetShortCut(&keys);
        pad->resize(400, 240);
        pad->show();
        pad->activateWindow();
        pad->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        pad.reset();
        InstallServices(previous);
    }

    std::string Line(int i) const { return pad->Model().Lines().Get(i); }

    std::shared_ptr<TRecordingServices> services;
    std::shared_ptr<TPlatformServices> previous;
    TQzPadShortCut keys;
    std::unique_ptr<TQzPad> pad;
};
