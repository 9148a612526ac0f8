#include "U_Compress.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "CoreText.h"
#include "DesktopOpen.h"
#include "DirectoryBox.h"
#include "ErrorReport.h"
#include "PickFolder.h"
#include "U_CompressS1.h"
#include "U_CompressS2.h"
#include "U_ScrollBoxFrame.h"
#include "U_Velmora.h"
#include "core/batch_output.h"
#include "core/settings.h"
#include "widgets/progress_bar.h"
#include "widgets/track_bar.h"

namespace velmora::ui {

QPointer<TF_Compress> F_Compress;

namespace {

constexpr int kClientWidth = 473;
constexpr int kClientHeight = 107;

}  // namespace

// The title bar shows the caption only: a running batch is left through its own button.
TF_Compress::TF_Compress()
    : TVelmoraDialog(QStringLiteral("压缩图片"), QSize(kClientWidth, kClientHeight),
                     TCloseBox::Hidden) {
    Frm_CompressS2 = new TFrm_CompressS2(this);
    Frm_CompressS2->setGeometry(0, 0, kClientWidth, kClientHeight);
    // Out of sight, and out of reach of the mouse and the Tab key, until the batch starts.
    Frm_CompressS2->hide();
    Frm_CompressS1 = new TFrm_CompressS1(this);
    Frm_CompressS1->setGeometry(0, 0, kClientWidth, kClientHeight);
    outPath_ = std::make_unique<TDirectoryBox>(*Frm_CompressS1->Edi_outpath);

    TFrm_CompressS1& s1 = *Frm_CompressS1;
    setTabOrder(s1.Button1, s1.Button2);
    setTabOrder(s1.Button2, s1.Edi_outpath);
    setTabOrder(s1.Edi_outpath, s1.Button3);
    setTabOrder(s1.Button3, s1.Chb_AutoClose);
    setTabOrder(s1.Chb_AutoClose, Frm_CompressS2->Btn_Cancel);
    setTabOrder(Frm_CompressS2->Btn_Cancel, Frm_CompressS2->Btn_Opendir);

    connect(s1.Button3, &QPushButton::clicked, this, &TF_Compress::Frm_CompressS1Button3Click);
    connect(s1.Button1, &QPushButton::clicked, this, &TF_Compress::Frm_CompressS11Button1Click);
    connect(s1.Button2, &QPushButton::clicked, this, &TF_Compress::Frm_CompressS1Button2Click);
    connect(Frm_CompressS2->Btn_Cancel, &QPushButton::clicked, this,
            &TF_Compress::Frm_CompressS21Btn_CancelClick);
    connect(Frm_CompressS2->Btn_Opendir, &QPushButton::clicked, this,
            &TF_Compress::Frm_CompressS2Btn_OpendirClick);
    FormCreate();
}

// Whatever destroys the dialog, the worker must not post to it any more.
TF_Compress::~TF_Compress() {
    if (CompressThread) {
        CompressThread->RequestStop();
    }
}

void TF_Compress::FormCreate() {
    outPath_->Show(ReadOutputDirectory(SettingsFilePath()));
}

// The directory chosen here applies to this batch only; it is not saved.
void TF_Compress::Frm_CompressS1Button3Click() {
    BrowseOutputFolder(QStringLiteral("另存为"), *Frm_CompressS1->Edi_outpath);
}

// A directory that would send the files elsewhere than the user chose keeps the dialog on
// step 1; one that is missing or may not be written fails at the first file.
void TF_Compress::Frm_CompressS11Button1Click() {
    if (const auto problem = OutputDirectoryProblem(outPath_->Directory())) {
        ReportError(QString::fromStdString(*problem));
        return;
    }
    Frm_CompressS1->hide();
    Frm_CompressS2->show();
    Frm_CompressS2->Btn_Cancel->setFocus();
    // Dropped unrun when the dialog is destroyed first, which the worker takes as a stop.
    auto post = [this](TUiTask task) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
    };
    TCompressHost& host = *this;
    CompressThread = std::make_unique<TCompressThread>(host, std::move(post));
}

void TF_Compress::Frm_CompressS1Button2Click() {
    close();
}

// Nothing waits for the worker: the file in hand is still completed after the dialog has gone.
void TF_Compress::Frm_CompressS21Btn_CancelClick() {
    if (Frm_CompressS2->Btn_Cancel->text() == QStringLiteral("取消")) {
        CompressThread->RequestStop();
    }
    close();
}

void TF_Compress::Frm_CompressS2Btn_OpendirClick() {
    OpenWithDesktop(QUrl::fromLocalFile(Frm_CompressS1->Edi_outpath->text()));
}

void TF_Compress::FormClose() {
    if (CompressThread) {
        CompressThread->RequestStop();
    }
    F_Compress = nullptr;
}

int32_t TF_Compress::EntryCount() {
    return F_Velmora->EntryCount();
}

bool TF_Compress::EntrySelected(int32_t index) {
    return F_Velmora->EntrySelected(index);
}

std::string TF_Compress::EntryPath(int32_t index) {
    return F_Velmora->EntryPath(index);
}

int32_t TF_Compress::SelectedCount() {
    return F_Velmora->SelectedCount();
}

std::string TF_Compress::OutputDirectory() {
    return outPath_->Directory().path;
}

TSliderPositions TF_Compress::SliderPositions() {
    return {ScrollBoxFrame->TrkAngle->Position(), ScrollBoxFrame->RzTrackBar1->Position()};
}

void TF_Compress::ReportPercent(uint16_t percent) {
    Frm_CompressS2->RzProgressBar1->SetPercent(percent);
}

void TF_Compress::Finish() {
    ShowEnded(true);
    if (Frm_CompressS1->Chb_AutoClose->isChecked()) {
        close();
    }
}

// The dialog stays after a failure, whatever auto-close says: the user has been told that
// not every file was converted and closes it once done with it.
void TF_Compress::Fail(const std::string& message, bool anyFileWritten) {
    const QPointer<TF_Compress> alive(this);
    ReportError(QString::fromStdString(message));
    // The box runs an event loop of its own, in which the dialog might have gone.
    if (alive) {
        ShowEnded(anyFileWritten);
    }
}

void TF_Compress::ShowEnded(bool anyFileWritten) {
    Frm_CompressS2->Btn_Opendir->setEnabled(anyFileWritten);
    Frm_CompressS2->Btn_Cancel->setText(QStringLiteral("关闭"));
}

}  // namespace velmora::ui
