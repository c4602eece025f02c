#pragma once

#include "app/FormDesign.h"
#include "layout/LayoutState.h"

#include <QObject>
#include <cstdint>
#include <memory>

namespace platform {
class DriveTable;
}
namespace preview {
class PreviewPrefetch;
}

namespace app {

// The main window's behaviour: start-up, resizing, splitter drags, folder navigation, the
// preview list and its scrolling, and opening a file in the editor. Each handler is named
// after its control and event and only sequences its steps; the rules live in layout/,
// preview/ and platform/. The design and the layout state are inherited so that the
// controls and the measures read as the window's own.
class frmMain : public QObject, public FormDesign, public layout::LayoutState {
    Q_OBJECT

public:
    frmMain();
    explicit frmMain(std::unique_ptr<platform::DriveTable> drives);
    ~frmMain() override;

    // Raises Load and shows the window.
    void Show();

    // Start-up and resizing.
    void Form_Load();
    void Form_Resize();

    // Splitter dragging: the vertical bar, the horizontal bar, and the square where they cross.
    void picVBar_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picVBar_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picVBar_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picHBar_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picHBar_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void picHBar_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void PicHV_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void PicHV_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void PicHV_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);

    // Folder navigation.
    void DriveList_Change();
    void DirList_Change();
    void txtPath_Change();

    // The preview list. Each note's text is PreviewLoader::Load's, read ahead of the loop
    // by the pool of readers that PreviewPrefetch runs; a note that its drive held up past the
    // deadline shows the failure text until it comes late (fillLateNotes).
    void CreateItem();
    void picContainer_Resize();

    // Preview scrolling.
    void picPreview_Resize();
    void VScroll_Change();
    void VScroll_Scroll();

    // Opening a file in the editor.
    void FileList_DblClick();
    void txtPreview_DblClick(std::int16_t Index);

private:
    void wireEvents();
    void placeFileList();
    void fitViewportWidth();
    void fillLateNotes();

    // The readers of the last rebuild, kept while notes it showed as failed may still come.
    std::unique_ptr<preview::PreviewPrefetch> m_previews;
};

} // namespace app
