#include "U_CompressS2.h"

#include <QLabel>
#include <QPushButton>

#include "widgets/progress_bar.h"
#include "widgets/system_colors.h"

namespace velmora::ui {

TFrm_CompressS2::TFrm_CompressS2(QWidget* parent) : QWidget(parent) {
    Label1 = new QLabel(QStringLiteral("正在压缩图片..."), this);
    Label1->move(16, 16);
    RzProgressBar1 = new TRzProgressBar(this);
    RzProgressBar1->setGeometry(16, 40, 449, 17);
    RzProgressBar1->SetBackColor(SysColor(TSysColor::BtnFace));
    Btn_Opendir = new QPushButton(QStringLiteral("打开目录(&O)"), this);
    Btn_Opendir->setGeometry(280, 72, 75, 22);
    Btn_Opendir->setEnabled(false);
    Btn_Cancel = new QPushButton(QStringLiteral("取消"), this);
    Btn_Cancel->setGeometry(368, 72, 75, 22);
}

}  // namespace velmora::ui
