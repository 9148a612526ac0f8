// The compression dialog: step 1 confirms the output directory, step 2 shows the running
// batch. It hosts the batch worker: every value the worker needs from a window, and every
// change it makes to this dialog, is carried out here on the user-interface thread.
#pragma once

#include <QPointer>
#include <memory>

#include "VelmoraDialog.h"
#include "core/compress_host.h"
#include "core/compress_thread.h"

namespace velmora::ui {

class TDirectoryBox;
class TFrm_CompressS1;
class TFrm_CompressS2;

class TF_Compress : public TVelmoraDialog, private TCompressHost {
    Q_OBJECT
  public:
    TF_Compress();
    ~TF_Compress() override;

    TFrm_CompressS2* Frm_CompressS2;
    TFrm_CompressS1* Frm_CompressS1;
    // The batch started by this dialog; none until step 1 is confirmed.
    std::unique_ptr<TCompressThread> CompressThread;

  protected:
    void FormClose() override;

  private:
    void FormCreate();
    void Frm_CompressS1Button3Click();
    void Frm_CompressS11Button1Click();
    void Frm_CompressS1Button2Click();
    void Frm_CompressS21Btn_CancelClick();
    void Frm_CompressS2Btn_OpendirClick();

    int32_t EntryCount() override;
    bool EntrySelected(int32_t index) override;
    std::string EntryPath(int32_t index) override;
    int32_t SelectedCount() override;
    std::string OutputDirectory() override;
    TSliderPositions SliderPositions() override;
    void ReportPercent(uint16_t percent) override;
    void Finish() override;
    void Fail(const std::string& message, bool anyFileWritten) override;

    // Step 2 once the batch has ended: closing, and the output directory when it holds files.
    void ShowEnded(bool anyFileWritten);

    // The output directory of this batch, shown in Edi_outpath.
    std::unique_ptr<TDirectoryBox> outPath_;
};

// The dialog while it exists.
extern QPointer<TF_Compress> F_Compress;

}  // namespace velmora::ui
