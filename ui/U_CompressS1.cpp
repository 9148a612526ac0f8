#include "U_CompressS1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "GroupBox.h"

namespace velmora::ui {

TFrm_CompressS1::TFrm_CompressS1(QWidget* parent) : QWidget(parent) {
    GroupBox1 = new TGroupBox(QStringLiteral("输出目录"), this);
    GroupBox1->setGeometry(8, 8, 457, 57);
    Edi_outpath = new QLineEdit(GroupBox1);
    Edi_outpath->setGeometry(8, 22, 345, 21);
    Edi_outpath->setReadOnly(true);
    Button3 = new QPushButton(QStringLiteral("浏览(&B)..."), GroupBox1);
    Button3->setGeometry(368, 21, 75, 22);

    Chb_AutoClose = new QCheckBox(QStringLiteral("压缩完成后自动关闭"), this);
    Chb_AutoClose->setGeometry(8, 80, 137, 17);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setGeometry(296, 77, 75, 22);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setGeometry(384, 77, 75, 21);
}

}  // namespace velmora::ui
