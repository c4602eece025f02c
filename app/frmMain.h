#pragma once

#include "app/FormDesign.h"
#include "layout/LayoutState.h"

#include <QObject>
#include <cstdint>
#include <memory>

namespace platform {
class DriveTable;
}

namespace app {

// The main window's behaviour: start-up, resizing, splitter drags, folder navigation, the
// preview list and its scrolling, and opening a file in the editor. Each handler is named
// after its control and event and only sequences its steps; the rules live in layout/,
// preview/ and platform/. The layout state is inherited so that it reads as the window's own.
class frmMain : public QObject, public layout::LayoutState {
    Q_OBJECT

public:
    frmMain();
    explicit frmMain(std::unique_ptr<platform::DriveTable> drives);
    ~frmMain() override;

    // Raises Load and shows the window.
    void Show();

    QString LoadPreview(const QString& PathName);
    void CreateItem();
    void DirList_Change();
    void DriveList_Change();
    void FileList_DblClick();
    void Form_Load();
    void Form_Resize();
    void picContainer_Resize();
    void picHBar_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void PicHV_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void PicHV_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void PicHV_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picPreview_Resize();
    void picVBar_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picVBar_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picVBar_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picHBar_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picHBar_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void txtPath_Change();
    void txtPreview_DblClick(std::int16_t Index);
    void VScroll_Change();
    void VScroll_Scroll();

private:
    void wireEvents();
    QString canonicalFolder(const QString& folder) const;

    std::unique_ptr<platform::DriveTable> m_drives;
    FormDesign m_design;

public:
    // The controls by their design names, so that handlers read like the design table.
    platform::Window& Me;
    platform::Label& lblPath;
    platform::TextBox& txtPath;
    platform::DirListBox& DirList;
    platform::FileListBox& FileList;
    platform::PictureBox& picVBar;
    platform::PictureBox& picHBar;
    platform::PictureBox& PicHV;
    platform::DriveListBox& DriveList;
    platform::PictureBox& picPreview;
    platform::PictureBox& picContainer;
    platform::VScrollBar& VScroll;
    platform::TextBoxArray& txtPreview;
};

} // namespace app
