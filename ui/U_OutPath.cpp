#include "U_OutPath.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DirectoryBox.h"
#include "PickFolder.h"
#include "core/batch_output.h"
#include "core/ini_file.h"
#include "core/settings.h"

namespace velmora::ui {

QPointer<TF_OutPath> F_OutPath;

TF_OutPath::~TF_OutPath() = default;

TF_OutPath::TF_OutPath()
    : TVelmoraDialog(QStringLiteral("输出目录"), QSize(447, 122), TCloseBox::Shown) {
    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 447, 41);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    Panel1->setPalette(QPalette(Qt::white));
    Label2 = new QLabel(QStringLiteral("选择图片压缩后的存储目录"), Panel1);
    Label2->move(16, 16);
    Label1 = new QLabel(QStringLiteral("输出目录:"), this);
    Label1->move(12, 54);
    Edi_outpath = new QLineEdit(this);
    Edi_outpath->setGeometry(70, 49, 281, 20);
    Edi_outpath->setReadOnly(true);
    Button3 = new QPushButton(QStringLiteral("浏览(&B)..."), this);
    Button3->setGeometry(368, 48, 75, 22);
    Bevel1 = new QFrame(this);
    Bevel1->setGeometry(-24, 80, 479, 2);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setGeometry(266, 93, 75, 22);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setGeometry(354, 93, 75, 22);
    outPath_ = std::make_unique<TDirectoryBox>(*Edi_outpath);

    setTabOrder(Edi_outpath, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);

    connect(Button3, &QPushButton::clicked, this, &TF_OutPath::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &TF_OutPath::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TF_OutPath::Button2Click);
    FormCreate();
}

void TF_OutPath::FormCreate() {
    outPath_->Show(ReadOutputDirectory(SettingsFilePath()));
}

void TF_OutPath::Button3Click() {
    BrowseOutputFolder(QStringLiteral("我选择的方向"), *Edi_outpath);
}

// The directory goes back as the bytes it was read as. A value too long to be read whole is
// left whole in the file, rather than replaced by the part of it that was shown.
void TF_OutPath::Button1Click() {
    const TOutputDirectory directory = outPath_->Directory();
    if (!directory.cut) {
        TIniFile settings(SettingsFilePath());
        settings.WriteSetting(kSettingsSection, kOutPathKey, directory.path);
    }
    close();
}

void TF_OutPath::Button2Click() {
    close();
}

void TF_OutPath::FormClose() {
    F_OutPath = nullptr;
}

}  // namespace velmora::ui
