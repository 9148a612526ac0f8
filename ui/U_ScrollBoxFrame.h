// The preview frame: "图片压缩" shows the picture as decoded and as re-encoded side by side
// with the compression-percent slider; "图片缩放" shows the re-encoded picture scaled to the
// resize percent with its new width and height.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class QLabel;
class QFrame;
class QPainter;
class QRadioButton;
class QSplitter;
class QTabWidget;

namespace velmora {
class TBitmap;
class TPicScrollBox;
class TRzTrackBar;
}  // namespace velmora

namespace velmora::ui {

class TGroupBox;

class TScrollBoxFrame : public QWidget {
    Q_OBJECT
  public:
    explicit TScrollBoxFrame(QWidget* owner = nullptr);

    QTabWidget* PageControl1;
    QWidget* TabSheet_Compress;
    QWidget* TabSheet_Resize;
    QSplitter* Splitter1;
    QWidget* Panel1;
    TGroupBox* GroupBox1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    TGroupBox* GroupBox2;
    QLabel* Lab_Percent;
    TRzTrackBar* TrkAngle;
    QFrame* Pan_source;
    QLabel* Lab_source;
    QFrame* Pan_destination;
    QLabel* Lab_destination;
    QWidget* Panel2;
    TGroupBox* GroupBox4;
    TRzTrackBar* RzTrackBar1;
    QWidget* Panel3;
    QLabel* Lab_WH;

    TPicScrollBox* SourceBox;
    TPicScrollBox* DestBox;
    TPicScrollBox* ResizeBox;

    // The picture re-encoded at 100 − the compression percent, decoded into DestBox, with its
    // encoded size.
    void UpdateCompressPreview();
    // DestBox's picture scaled to the resize percent into ResizeBox, with its width and height.
    void UpdateResizePreview();
    // UpdateCompressPreview, then UpdateResizePreview, in less time.
    void UpdateCompressAndResizePreviews();
    // Converts one file at the sliders' current percents.
    void CompressFile(const std::string& source, const std::string& output) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildCompressPage();
    void BuildResizePage();
    void CreatePanes();
    void FrameResize();
    void RadioButton1Click();
    void RadioButton2Click();
    void SyncHorzScroll(TPicScrollBox* box);
    void SyncVertScroll(TPicScrollBox* box);
    // The percent label; returns the compression percent.
    int ShowCompressPercent();
    void ShowEncodedSize(uint64_t bytes);
    void ShowResizedSize(int width, int height);
    void TrkAngleChange();
    void RzTrackBar1Change();
    void TrkAngleDrawTick(QPainter& canvas, QPoint location, int index);
    void RzTrackBar1DrawTick(QPainter& canvas, QPoint location, int index);
};

extern TScrollBoxFrame* ScrollBoxFrame;

}  // namespace velmora::ui
