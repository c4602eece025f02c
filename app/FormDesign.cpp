#include "app/FormDesign.h"

#include "app/Twips.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/SystemColor.h"
#include "platform/drives/DriveTable.h"

#include <utility>

namespace app {

using Twips::ToPixels;

namespace {

// Places a control at its designed place, given in twips.
template<typename Control> void place(Control& control, int left, int top, int width, int height)
{
    control.Move(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}

} // namespace

FormDesign::FormDesign(std::unique_ptr<platform::DriveTable> drives)
    : m_drives(std::move(drives))
    , Me(ToPixels(12015), ToPixels(7590))
    , lblPath(Me, platform::AutoSize::On)
    , txtPath(Me)
    , DirList(Me, *m_drives)
    , FileList(Me)
    , picVBar(Me, platform::BorderStyle::None)
    , picHBar(Me, platform::BorderStyle::None)
    , PicHV(Me, platform::BorderStyle::None)
    , DriveList(Me, *m_drives)
    , picPreview(Me, platform::BorderStyle::FixedSingle)
    , picContainer(picPreview, platform::BorderStyle::None)
    , VScroll(picPreview)
    , txtPreview(picContainer)
{
    placeControls();
    applySettings();
    stackAndOrder();
    nameForScreenReaders();
}

FormDesign::~FormDesign() = default;

void FormDesign::placeControls()
{
    place(lblPath, 0, 120, 1440, 180);
    place(txtPath, 0, 360, 3015, 270);
    place(DirList, 0, 1080, 3015, 2820);
    place(FileList, 0, 4200, 3015, 3150);
    place(picVBar, 3120, 0, 135, 7575);
    place(picHBar, 0, 3960, 3015, 135);
    place(PicHV, 3000, 3960, 135, 135);
    place(DriveList, 0, 720, 3015, 300);
    place(picPreview, 3360, 0, 8655, 7590);
    place(picContainer, 0, 0, 8175, 1215);
    place(VScroll, 8280, 0, 255, 7455);
    place(txtPreview(0), 0, 0, 8175, 1215);
}

void FormDesign::applySettings()
{
    Me.SetCaption(QStringLiteral("Vellumry"));
    lblPath.SetCaption(QStringLiteral("请设置文档的路径"));
    FileList.SetPattern(QStringLiteral("*.txt"));

    picVBar.SetMousePointer(platform::MousePointer::SizeWestEast);
    picHBar.SetMousePointer(platform::MousePointer::SizeNorthSouth);
    PicHV.SetMousePointer(platform::MousePointer::SizeAll);
    picPreview.SetDock(platform::Dock::Right);
    picContainer.SetBackColor(platform::SystemColor::WindowBackground);
    picContainer.SetForeColor(platform::SystemColor::WindowText);

    VScroll.SetMin(0);
    VScroll.SetMax(0);
    VScroll.SetValue(0);
    VScroll.SetSmallChange(1);
    VScroll.SetLargeChange(10);

    txtPreview(0).SetVisible(false);
}

void FormDesign::stackAndOrder()
{
    // Back to front; the label is drawn on the window's own surface behind everything.
    lblPath.SendToBack();
    for (platform::Control* control : std::initializer_list<platform::Control*> {
             &txtPath, &DirList, &FileList, &picVBar, &picHBar, &PicHV, &DriveList, &picPreview})
        control->BringToFront();
    VScroll.BringToFront();

    for (platform::Control* control :
        std::initializer_list<platform::Control*> {&picVBar, &picHBar, &PicHV, &picPreview, &picContainer, &VScroll})
        control->SetTabStop(platform::TabStop::Yes);
    lblPath.SetTabStop(platform::TabStop::No);
    Me.SetTabOrder(
        {&txtPath, &DirList, &FileList, &picVBar, &picHBar, &PicHV, &DriveList, &picPreview, &picContainer, &VScroll});
}

void FormDesign::nameForScreenReaders()
{
    Me.SetAccessibleName(QStringLiteral("Vellumry 文本文件浏览器"));
    const std::pair<platform::Control*, const char16_t*> names[] = {
        {&lblPath, u"请设置文档的路径"},
        {&txtPath, u"文档路径"},
        {&DriveList, u"驱动器列表"},
        {&DirList, u"文件夹列表"},
        {&FileList, u"文本文件列表"},
        {&picVBar, u"左右窗格分隔条"},
        {&picHBar, u"文件夹与文件列表分隔条"},
        {&PicHV, u"分隔条交叉点"},
        {&picPreview, u"预览区"},
        {&picContainer, u"预览框画布"},
        {&VScroll, u"预览滚动条"},
    };
    for (const auto& [control, name] : names)
        control->SetAccessibleName(QString::fromUtf16(name));
}

} // namespace app
