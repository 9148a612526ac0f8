#include "U_Velmora.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include "BarLook.h"
#include "CommandImages.h"
#include "CoreText.h"
#include "DesktopCentring.h"
#include "DialogOpening.h"
#include "PickFolder.h"
#include "PicturesFolder.h"
#include "Splitter.h"
#include "StatusPane.h"
#include "U_About.h"
#include "U_Compress.h"
#include "U_OutPath.h"
#include "U_ScrollBoxFrame.h"
#include "browser/FileNames.h"
#include "browser/PictureFiles.h"
#include "browser/ShellListView.h"
#include "browser/ShellTreeView.h"
#include "browser/WaitCursor.h"
#include "core/file_io.h"
#include "core/first_start.h"
#include "core/ini_file.h"
#include "core/jpeg_image.h"
#include "core/settings.h"
#include "widgets/U_PicScrollBox.h"
#include "widgets/picture_view.h"
#include "widgets/song_font.h"
#include "widgets/track_bar.h"

namespace velmora::ui {

TF_Velmora* F_Velmora = nullptr;

namespace {

// The menu bar and the toolbar together, as their look sizes them (20 + 43).
constexpr int kBarsHeight = 63;
constexpr int kPanelBorder = 1;
constexpr int kLeftPanelWidth = 206;
constexpr int kRightPanelWidth = 583;
constexpr int kTreeHeight = 295;
constexpr int kThumbnailHeight = 213;
constexpr int kPanelMinimum = 160;
constexpr int kListHeight = 150;
constexpr int kListMinimum = 100;
constexpr int kSplitterWidth = TSplitter::kWidth;
constexpr int kStatusBarHeight = 19;
// The window is 800 x 600 with its frame; these sizes fill the client area inside that frame,
// which is also the smallest the window gets.
constexpr int kClientWidth = kLeftPanelWidth + kSplitterWidth + kRightPanelWidth;
constexpr int kClientHeight = kBarsHeight + 2 * kPanelBorder + kTreeHeight + kThumbnailHeight;

// The panel's border is the only inset: its children start right inside it.
QFrame* RaisedPanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(kPanelBorder);
    return panel;
}

QVBoxLayout* StackLayout(QWidget* panel) {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// The panel splitters never collapse a side below its minimum.
QSplitter* PanelSplitter(Qt::Orientation orientation, QWidget* parent) {
    auto* splitter = new TSplitter(orientation, parent);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

}  // namespace

TF_Velmora::TF_Velmora(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("CorvaneVelmora"));
    setFont(SongPixelFont(12));
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    CentreOnDesktop(*this);
    BuildBars();
    BuildPanels();
    BuildBrowser();
}

void TF_Velmora::BuildBars() {
    Btn_Compress =
        new QAction(CommandIcon(CommandImage::Picture), QStringLiteral("开始压缩"), this);
    dxBarLargeButton2 =
        new QAction(CommandIcon(CommandImage::Tools), QStringLiteral("系统设置"), this);
    dxBarLargeButton3 = new QAction(CommandIcon(CommandImage::Seal), QStringLiteral("关于"), this);
    for (QAction* command : {Btn_Compress, dxBarLargeButton2, dxBarLargeButton3}) {
        command->setToolTip(command->text());
        command->setIconVisibleInMenu(true);
    }
    connect(Btn_Compress, &QAction::triggered, this, &TF_Velmora::Btn_CompressClick);
    connect(dxBarLargeButton2, &QAction::triggered, this, &TF_Velmora::dxBarLargeButton2Click);
    connect(dxBarLargeButton3, &QAction::triggered, this, &TF_Velmora::dxBarLargeButton3Click);

    dxBarManager1MenuBar = menuBar();
    dxBarManager1MenuBar->setObjectName(QStringLiteral("菜单"));
    dxBarSubItem1 = dxBarManager1MenuBar->addMenu(QStringLiteral("图片处理"));
    dxBarSubItem1->addAction(Btn_Compress);
    dxBarSubItem2 = dxBarManager1MenuBar->addMenu(QStringLiteral("系统管理"));
    dxBarSubItem2->addAction(dxBarLargeButton2);
    dxBarSubItem3 = dxBarManager1MenuBar->addMenu(QStringLiteral("帮助"));
    dxBarSubItem3->addAction(dxBarLargeButton3);

    dxBarManager1ToolBar = new QToolBar(QStringLiteral("工具栏"), this);
    dxBarManager1ToolBar->setObjectName(QStringLiteral("工具栏"));
    dxBarManager1ToolBar->setMovable(false);
    dxBarManager1ToolBar->setFloatable(false);
    dxBarManager1ToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    dxBarManager1ToolBar->setIconSize(QSize(16, 16));
    dxBarManager1ToolBar->addActions({Btn_Compress, dxBarLargeButton2, dxBarLargeButton3});
    dxBarManager1ToolBar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, dxBarManager1ToolBar);
    ApplyBarLook(*dxBarManager1MenuBar, *dxBarManager1ToolBar);
}

void TF_Velmora::BuildPanels() {
    Splitter1 = PanelSplitter(Qt::Horizontal, this);
    setCentralWidget(Splitter1);

    Panel1 = RaisedPanel(Splitter1);
    Panel1->setMinimumWidth(kPanelMinimum);
    QVBoxLayout* left = StackLayout(Panel1);
    ShellTreeView1 = new TShellTreeView(Panel1);
    ShellTreeView1->setFixedHeight(kTreeHeight);
    left->addWidget(ShellTreeView1);
    cxImage1 = new TcxImage(Panel1);
    cxImage1->Properties().SetStretch(true);
    cxImage1->Properties().SetCenter(true);
    cxImage1->setEnabled(false);
    left->addWidget(cxImage1, 1);

    Panel2 = RaisedPanel(Splitter1);
    Panel2->setMinimumWidth(kPanelMinimum);
    QVBoxLayout* right = StackLayout(Panel2);
    Splitter2 = PanelSplitter(Qt::Vertical, Panel2);
    ShellListView1 = new TShellListView(Splitter2);
    ShellListView1->setMinimumHeight(kListMinimum);
    Splitter2->addWidget(ShellListView1);
    right->addWidget(Splitter2, 1);
    RzStatusBar1 = new QFrame(Panel2);
    RzStatusBar1->setFixedHeight(kStatusBarHeight);
    RzStatusPane1 = new TRzStatusPane(RzStatusBar1);
    StackLayout(RzStatusBar1)->addWidget(RzStatusPane1);
    right->addWidget(RzStatusBar1);

    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(Panel2);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kLeftPanelWidth, kRightPanelWidth});
}

// The tree selects the desktop and the list shows it before the window is first shown.
void TF_Velmora::BuildBrowser() {
    ShellListView1->OnAddFolder = [this](TShellListView* sender, const TShellItem& item,
                                         bool& canAdd) {
        ShellListView1AddFolder(sender, item, canAdd);
    };
    ShellListView1->OnChange = [this](TShellListView* sender) { ShellListView1Change(sender); };
    ShellListView1->OnDblClick = [this](TShellListView* sender) { ShellListView1DblClick(sender); };
    ShellTreeView1->OnEditing = [this](TShellTreeView* sender, const QModelIndex& node,
                                       bool& allowEdit) {
        ShellTreeView1Editing(sender, node, allowEdit);
    };
    ShellTreeView1->SetShellListView(ShellListView1);
    ShellTreeView1->ShowDesktop(ToCorePath(DesktopDirectory()));
}

void TF_Velmora::FormCreate() {
    ScrollBoxFrame = new TScrollBoxFrame(this);
    ScrollBoxFrame->setMinimumHeight(kListMinimum);
    Splitter2->addWidget(ScrollBoxFrame);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({kListHeight, Splitter2->height() - kListHeight - kSplitterWidth});

    const SettingsPlace place = CurrentSettingsPlace();
    TIniFile settings(place.directory + kSettingsFileName);
    if (!FileExists(settings.FileName())) {
        WriteFirstStartSettings(settings, place, PicturesFolder());
    }
    ScrollBoxFrame->TrkAngle->SetPosition(
        StrToInt(settings.ReadSetting(kSettingsSection, kCompressPreKey, "75")));
    ScrollBoxFrame->RzTrackBar1->SetPosition(
        StrToInt(settings.ReadSetting(kSettingsSection, kResizePreKey, "100")));
}

int TF_Velmora::EntryCount() const {
    return ShellListView1->EntryCount();
}

bool TF_Velmora::EntrySelected(int row) const {
    return ShellListView1->EntrySelected(row);
}

std::string TF_Velmora::EntryPath(int row) const {
    return ShellListView1->EntryPath(row);
}

int TF_Velmora::SelectedCount() const {
    return ShellListView1->SelectedCount();
}

void TF_Velmora::ShellListView1AddFolder(TShellListView*, const TShellItem& AFolder, bool& CanAdd) {
    if (!HasJpgExtension(AFolder.displayName)) {
        CanAdd = false;
    }
}

void TF_Velmora::ShellListView1Change(TShellListView*) {
    // The count first: a picture that fails to load replaces nothing, but the count is right.
    RzStatusPane1->SetCaption(SelectedCountCaption(SelectedCount()));
    const int first = ShellListView1->FirstSelectedRow();
    if (first >= 0) {
        cxImage1->Picture().SetGraphic(LoadPictureByFileName(ShellListView1->EntryPath(first)));
    }
}

void TF_Velmora::ShellListView1DblClick(TShellListView*) {
    const int first = ShellListView1->FirstSelectedRow();
    if (first < 0) {
        return;
    }
    const std::string path = ShellListView1->EntryPath(first);
    const TWaitCursor wait;
    // Loaded as JPEG whatever the extension; decoding happens on the first Pixels(), so a
    // picture that cannot be decoded changes nothing.
    TJPEGImage picture;
    picture.LoadPictureFile(path);
    ScrollBoxFrame->SourceBox->cxImage->Picture().Assign(picture.Pixels());
    ScrollBoxFrame->Lab_source->setText(SourceSizeCaption(GetFileSizeOf(path)));
    ScrollBoxFrame->DestBox->cxImage->Picture().Assign(picture.Pixels());
    ScrollBoxFrame->ResizeBox->cxImage->Picture().Assign(picture.Pixels());
    ScrollBoxFrame->UpdateCompressAndResizePreviews();
}

void TF_Velmora::ShellTreeView1Editing(TShellTreeView*, const QModelIndex&, bool& AllowEdit) {
    AllowEdit = false;
}

int64_t TF_Velmora::GetFileSizeOf(const std::string& path) {
    return FileSizeLow32(path);
}

void TF_Velmora::Btn_CompressClick() {
    if (SelectedCount() == 0) {
        return;
    }
    OpenDialog(F_Compress, *this);
}

void TF_Velmora::dxBarLargeButton2Click() {
    OpenDialog(F_OutPath, *this);
}

void TF_Velmora::dxBarLargeButton3Click() {
    OpenDialog(F_About, *this);
}

}  // namespace velmora::ui
