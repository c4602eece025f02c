#pragma once

#include "platform/controls/DirListBox.h"
#include "platform/controls/DriveListBox.h"
#include "platform/controls/FileListBox.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/controls/VScrollBar.h"
#include "platform/controls/Window.h"

namespace platform {
class DriveTable;
}

namespace app {

// The main window as designed: every control with its kind, container, place, stacking,
// Tab order, pointer, colours and captions. Nothing here reacts to anything; the window's
// behaviour lives in frmMain, which owns one of these.
struct FormDesign {
    explicit FormDesign(platform::DriveTable& drives);

    // The window is declared first so that it outlives every control on it.
    platform::Window Me;
    platform::Label lblPath;
    platform::TextBox txtPath;
    platform::DirListBox DirList;
    platform::FileListBox FileList;
    platform::PictureBox picVBar;
    platform::PictureBox picHBar;
    platform::PictureBox PicHV;
    platform::DriveListBox DriveList;
    platform::PictureBox picPreview;
    platform::PictureBox picContainer;
    platform::VScrollBar VScroll;
    platform::TextBoxArray txtPreview;

private:
    void placeControls();
    void applySettings();
    void stackAndOrder();
    void nameForScreenReaders();
};

} // namespace app
