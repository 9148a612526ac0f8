// The compression dialog over the main window, opened and started the way its tests need.
#pragma once

#include <QPushButton>
#include <QTest>

#include "main_window_fixture.h"
#include "ui/U_Compress.h"
#include "ui/U_CompressS1.h"

namespace velmora::test {

class CompressDialogFixture : public MainWindowFixture {
  protected:
    // The dialog as the command opens it, but shown without a modal loop.
    ui::TF_Compress& OpenDialog() {
        ui::F_Compress = new ui::TF_Compress();
        ui::F_Compress->show();
        return *ui::F_Compress;
    }

    // Confirms step 1 and notes the worker that starts.
    void Start(ui::TF_Compress& dialog) {
        worker.Before();
        QTest::mouseClick(dialog.Frm_CompressS1->Button1, Qt::LeftButton);
        worker.After();
    }

    NewThreads worker;
};

}  // namespace velmora::test
