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

#include <memory>

namespace platform {
class DriveTable;
}

namespace app {

// The main window as designed: every control with its kind, container, place, stacking,
// Tab order, pointer, colours and captions. Nothing here reacts to anything; the window's
// behaviour lives in frmMain, which is built on this design so that its handlers name the
// controls as the design does.
class FormDesign {
public:
    explicit FormDesign(std::unique_ptr<platform::DriveTable> drives);
    ~FormDesign();
    FormDesign(const FormDesign&) = delete;
    FormDesign& operator=(const FormDesign&) = delete;

private:
    // The drive and folder lists read the drive table, so it is made before and outlives them.
    std::unique_ptr<platform::DriveTable> m_drives;

public:
    // The window is declared first of the controls so that it outlives every control on it.
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
