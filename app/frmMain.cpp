#include "app/frmMain.h"

#include "app/NavigationGuard.h"
#include "layout/PaneRules.h"
#include "layout/ScrollRules.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/BusyPointer.h"
#include "platform/desktop/MessageBox.h"
#include "platform/desktop/SystemColor.h"
#include "platform/drives/DriveTable.h"
#include "platform/drives/SystemMounts.h"
#include "platform/files/FolderPath.h"
#include "platform/launch/ProcessLauncher.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/ResumeNext.h"
#include "preview/PreviewPrefetch.h"

namespace app {

using layout::PaneRules;
using layout::ScrollRules;
using platform::Step;

frmMain::frmMain()
    : frmMain(std::make_unique<platform::DriveTable>(std::make_unique<platform::SystemMounts>(),
        platform::CurrentFolders::OfProcess(), &platform::DriveReadiness::OnDisk))
{
}

frmMain::frmMain(std::unique_ptr<platform::DriveTable> drives)
    : FormDesign(std::move(drives))
{
    wireEvents();
}

// The readers go first, so that none tells a window that is going of a late note.
frmMain::~frmMain()
{
    m_previews.reset();
}

void frmMain::Show()
{
    Me.Show();
}

void frmMain::wireEvents()
{
    connect(&Me, &platform::Window::Load, this, &frmMain::Form_Load);
    connect(&Me, &platform::Window::Resize, this, &frmMain::Form_Resize);
    connect(&picVBar, &platform::PictureBox::MouseDown, this, &frmMain::picVBar_MouseDown);
    connect(&picVBar, &platform::PictureBox::MouseMove, this, &frmMain::picVBar_MouseMove);
    connect(&picVBar, &platform::PictureBox::MouseUp, this, &frmMain::picVBar_MouseUp);
    connect(&picHBar, &platform::PictureBox::MouseDown, this, &frmMain::picHBar_MouseDown);
    connect(&picHBar, &platform::PictureBox::MouseMove, this, &frmMain::picHBar_MouseMove);
    connect(&picHBar, &platform::PictureBox::MouseUp, this, &frmMain::picHBar_MouseUp);
    connect(&PicHV, &platform::PictureBox::MouseDown, this, &frmMain::PicHV_MouseDown);
    connect(&PicHV, &platform::PictureBox::MouseMove, this, &frmMain::PicHV_MouseMove);
    connect(&PicHV, &platform::PictureBox::MouseUp, this, &frmMain::PicHV_MouseUp);
    connect(&DriveList, &platform::DriveListBox::Change, this, &frmMain::DriveList_Change);
    connect(&DirList, &platform::DirListBox::Change, this, &frmMain::DirList_Change);
    connect(&txtPath, &platform::TextBox::Change, this, &frmMain::txtPath_Change);
    connect(&picContainer, &platform::PictureBox::Resize, this, &frmMain::picContainer_Resize);
    connect(&picPreview, &platform::PictureBox::Resize, this, &frmMain::picPreview_Resize);
    connect(&VScroll, &platform::VScrollBar::Change, this, &frmMain::VScroll_Change);
    connect(&VScroll, &platform::VScrollBar::Scroll, this, &frmMain::VScroll_Scroll);
    connect(&FileList, &platform::FileListBox::DblClick, this, &frmMain::FileList_DblClick);
    connect(&txtPreview, &platform::TextBoxArray::DblClick, this, &frmMain::txtPreview_DblClick);
}

// ---- Start-up and resizing -------------------------------------------------------------

void frmMain::Form_Load()
{
    Step([&] { FormWidth = Me.ScaleWidth(); });
    Step([&] { FormHeight = Me.ScaleHeight(); });
    Step([&] { SplitY = picHBar.Top(); });
    Step([&] { SplitX = picVBar.Left(); });
    Step([&] { ItemHeight = picContainer.ScaleHeight(); });
    Step([&] { LinesPerItem = PaneRules::LinesPerItem(ItemHeight, picContainer.TextHeight(QStringLiteral("A"))); });
    Step([&] { picHBar.SetWidth(SplitX); });
    Step([&] { txtPath.SetWidth(SplitX); });
    Step([&] { DriveList.SetWidth(SplitX); });
    Step([&] { DirList.SetWidth(SplitX); });
    Step([&] { DirTop = DirList.Top(); });
    Step([&] { DirList.SetHeight(platform::Numbers::ToSingle(static_cast<double>(SplitY) - DirTop)); });
    Step([&] { placeFileList(); });
    Step([&] { PicHV.Move(picVBar.Left(), picHBar.Top()); });
    Step([&] { fitViewportWidth(); });
    Step([&] { Form_Resize(); });
    Step([&] { DriveList_Change(); });
    Step([&] { CreateItem(); });
}

void frmMain::Form_Resize()
{
    Step([&] { FormWidth = Me.ScaleWidth(); });
    Step([&] { FormHeight = Me.ScaleHeight(); });
    Step([&] { picVBar.SetHeight(Me.ScaleHeight()); });
    Step([&] { placeFileList(); });
    Step([&] { fitViewportWidth(); });
}

// The file list fills the left pane below the horizontal bar, and the viewport the rest of the
// window right of the vertical bar: placed alike at start-up, on a resize and during a drag.
void frmMain::placeFileList()
{
    FileList.Move(0, PaneRules::FileListTop(SplitY), SplitX, PaneRules::FileListHeight(FormHeight, SplitY));
}

void frmMain::fitViewportWidth()
{
    picPreview.SetWidth(PaneRules::ViewportWidth(FormWidth, SplitX));
}

// ---- Splitter dragging -----------------------------------------------------------------
// A drag never stops half-way: a width that a control refuses in a window smaller than the
// bounds allow is skipped, and the bar still goes where SplitX or SplitY says.

void frmMain::picVBar_MouseDown(std::int16_t, std::int16_t, float, float)
{
    picVBar.SetBackColor(platform::SystemColor::ButtonShadow);
}

void frmMain::picVBar_MouseUp(std::int16_t, std::int16_t, float, float)
{
    picVBar.SetBackColor(platform::SystemColor::ButtonFace);
}

void frmMain::picVBar_MouseMove(std::int16_t Button, std::int16_t, float X, float)
{
    // Button is a mask of the buttons held; a drag follows the pointer only while the
    // left button alone is held.
    if (Button != platform::MouseButton::Left) {
        LastDragX = X;
        return;
    }
    SplitX = picVBar.Left();
    SplitX = PaneRules::ClampSplitX(PaneRules::Dragged(SplitX, X, LastDragX), FormWidth);
    for (platform::Control* control :
        std::initializer_list<platform::Control*> {&picHBar, &txtPath, &DriveList, &DirList, &FileList})
        Step([&] { control->SetWidth(SplitX); });
    Step([&] { picVBar.SetLeft(SplitX); });
    Step([&] { PicHV.Move(SplitX, SplitY); });
    Step([&] { fitViewportWidth(); });
    Me.Refresh();
}

void frmMain::picHBar_MouseDown(std::int16_t, std::int16_t, float, float)
{
    picHBar.SetBackColor(platform::SystemColor::ButtonShadow);
}

void frmMain::picHBar_MouseUp(std::int16_t, std::int16_t, float, float)
{
    picHBar.SetBackColor(platform::SystemColor::ButtonFace);
}

void frmMain::picHBar_MouseMove(std::int16_t Button, std::int16_t, float, float Y)
{
    // Button is a mask of the buttons held; a drag follows the pointer only while the
    // left button alone is held.
    if (Button != platform::MouseButton::Left) {
        LastDragY = Y;
        SplitY = picHBar.Top();
        return;
    }
    SplitY = PaneRules::Dragged(SplitY, Y, LastDragY);
    DirTop = DirList.Top();
    SplitY = PaneRules::ClampSplitY(SplitY, DirTop, FormHeight);
    Step([&] { DirList.SetHeight(platform::Numbers::ToSingle(static_cast<double>(SplitY) - DirTop)); });
    Step([&] { picHBar.SetTop(platform::Numbers::ToSingle(static_cast<double>(DirTop) + DirList.Height())); });
    SplitY = picHBar.Top();
    Step([&] { placeFileList(); });
    Step([&] { PicHV.Move(SplitX, SplitY); });
    Me.Refresh();
}

void frmMain::PicHV_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    picVBar_MouseDown(Button, Shift, X, Y);
    picHBar_MouseDown(Button, Shift, X, Y);
}

void frmMain::PicHV_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    picVBar_MouseMove(Button, Shift, X, Y);
    picHBar_MouseMove(Button, Shift, X, Y);
}

void frmMain::PicHV_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y)
{
    picVBar_MouseUp(Button, Shift, X, Y);
    picHBar_MouseUp(Button, Shift, X, Y);
}

// ---- Folder navigation -----------------------------------------------------------------

void frmMain::DriveList_Change()
{
    const NavigationGuard guard(NavBusy);
    if (!guard.Entered())
        return;
    const platform::BusyPointer busy;
    // A drive that is not ready leaves the folders where they were; the drive list goes back
    // to their drive, so that all four controls name one folder and choosing the drive again
    // later is a change.
    if (!Step([&] { DirList.SetPath(DriveList.Drive()); }))
        Step([&] { DriveList.SetDrive(DirList.Path()); });
    Step([&] { FileList.SetPath(DirList.Path()); });
    Step([&] { txtPath.SetText(FileList.Path()); });
    Step([&] { CreateItem(); });
}

void frmMain::DirList_Change()
{
    const NavigationGuard guard(NavBusy);
    if (!guard.Entered())
        return;
    const platform::BusyPointer busy;
    Step([&] { DriveList.SetDrive(DirList.Path()); });
    Step([&] { FileList.SetPath(DirList.Path()); });
    Step([&] { txtPath.SetText(FileList.Path()); });
    Step([&] { CreateItem(); });
}

void frmMain::txtPath_Change()
{
    const NavigationGuard guard(NavBusy);
    if (!guard.Entered())
        return;
    const platform::BusyPointer busy;
    const QString shownBefore = FileList.Path();
    const QStringList listedBefore = FileList.Names();
    Step([&] { DriveList.SetDrive(txtPath.Text()); });
    Step([&] { DirList.SetPath(txtPath.Text()); });
    Step([&] { FileList.SetPath(DirList.Path()); });
    // The previews must never show one list while the file list holds another: a
    // double-click on a box would open the file at that position, the wrong file. That
    // happens when the folder changed, and when the same folder read anew lists other files.
    // The folders are compared as the file list gives them, clean paths, without asking the
    // disk: the current folder's drive may be the one that stopped answering. A link to the
    // same folder then counts as another folder, which costs one rebuild.
    if (FileList.Path() != shownBefore || FileList.Names() != listedBefore)
        Step([&] { CreateItem(); });
}

// ---- The preview list ------------------------------------------------------------------

void frmMain::CreateItem()
{
    const platform::BusyPointer busy;
    // The late notes of an earlier rebuild belong to boxes that are about to go.
    m_previews.reset();
    Step([&] { FolderPath = platform::FolderPath::Prefix(FileList.Path()); });
    Step([&] { picPreview_Resize(); });
    std::int32_t highest = 0;
    Step([&] { highest = txtPreview.UBound(); });
    for (std::int32_t i = highest; i >= 1; --i)
        Step([&] { txtPreview.Unload(i); });
    const std::int32_t count = ItemCount;
    // The notes are read ahead of this loop by a pool of reader threads, which keeps many
    // requests in flight on a slow drive and never waits long for one that stopped answering;
    // the loop takes each note's text in its turn.
    auto previews = std::make_unique<preview::PreviewPrefetch>(FolderPath, FileList.Names(), LinesPerItem,
        [this] { QMetaObject::invokeMethod(this, &frmMain::fillLateNotes, Qt::QueuedConnection); });
    for (std::int32_t i = 1; i <= count; ++i) {
        Step([&] { txtPreview.Load(i); });
        Step([&] { txtPreview(i).Move(0, ScrollRules::BoxTop(i, ItemHeight), picContainer.ScaleWidth(), ItemHeight); });
        Step([&] { txtPreview(i).SetVisible(true); });
        Step([&] { txtPreview(i).SetText(previews->Take(i - 1)); });
        Step([&] { txtPreview(i).SetToolTipText(FileList.List(i - 1)); });
    }
    if (previews->Owes())
        m_previews = std::move(previews);
}

// A note that its drive held up shows the failure text until it is read after all; its text then
// arrives here through the event loop, never inside another handler, and goes to its own box,
// which still shows the same list entry, since only a rebuild changes the boxes.
void frmMain::fillLateNotes()
{
    if (!m_previews)
        return;
    for (const auto& [index, text] : m_previews->TakeLate())
        Step([&] { txtPreview(static_cast<std::int32_t>(index + 1)).SetText(text); });
    if (!m_previews->Owes())
        m_previews.reset();
}

void frmMain::picContainer_Resize()
{
    std::int32_t lowest = 0;
    std::int32_t highest = -1;
    Step([&] {
        lowest = txtPreview.LBound();
        highest = txtPreview.UBound();
    });
    for (std::int32_t i = lowest; i <= highest; ++i)
        Step([&] { txtPreview(i).SetWidth(picContainer.ScaleWidth()); });
}

// ---- Preview scrolling -----------------------------------------------------------------

void frmMain::picPreview_Resize()
{
    Step([&] { ItemCount = FileList.ListCount(); });
    Step([&] { picContainer.SetHeight(ScrollRules::CanvasHeight(ItemHeight, ItemCount)); });
    Step([&] { ViewHeight = picPreview.ScaleHeight(); });
    Step([&] { PageItems = ScrollRules::PageItems(ViewHeight, ItemHeight); });
    Step([&] {
        VScroll.Move(platform::Numbers::ToSingle(static_cast<double>(picPreview.ScaleWidth()) - VScroll.Width()), 0,
            VScroll.Width(), ViewHeight);
    });
    Step([&] { VScroll.SetLargeChange(platform::Numbers::ToInteger(PageItems)); });
    std::int32_t hidden = 0;
    Step([&] { hidden = platform::Numbers::Subtract(ItemCount, PageItems); });
    if (hidden > 0) {
        Step([&] { VScroll.SetMax(platform::Numbers::ToInteger(hidden)); });
        Step([&] { VScroll.SetEnabled(true); });
    } else {
        Step([&] { VScroll.SetMax(0); });
        Step([&] { VScroll.SetEnabled(false); });
    }
    Step([&] {
        picContainer.SetWidth(
            platform::Numbers::ToSingle(static_cast<double>(picPreview.ScaleWidth()) - VScroll.Width()));
    });
    Step([&] { VScroll_Change(); });
}

void frmMain::VScroll_Change()
{
    Step([&] { picContainer.SetTop(ScrollRules::CanvasTop(VScroll.Value(), ItemHeight)); });
}

void frmMain::VScroll_Scroll()
{
    Step([&] { VScroll_Change(); });
}

// ---- Opening a file in the editor ------------------------------------------------------

void frmMain::FileList_DblClick()
{
    try {
        const platform::BusyPointer busy;
        const QString folder = platform::FolderPath::Prefix(FileList.Path());
        const QString name = FileList.List(FileList.ListIndex());
        platform::ProcessLauncher::Shell(platform::ProcessLauncher::EditorName + u' ' + folder + name);
    } catch (const platform::Error& error) {
        platform::MessageBox::MsgBox(
            error.description(), platform::MessageBox::ExclamationOk, QStringLiteral("出错了，无法打开。"));
    }
}

void frmMain::txtPreview_DblClick(std::int16_t Index)
{
    Step([&] { txtPreview(Index).SetSelLength(0); });
    Step([&] { FileList.SetListIndex(platform::Numbers::Subtract16(Index, 1)); });
    Step([&] { FileList_DblClick(); });
}

} // namespace app
