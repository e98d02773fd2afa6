// The about window: a framed picture and five rows of caption and value.
#pragma once

#include <QWidget>

class QLabel;

namespace fw {

class TAboutForm : public QWidget {
    Q_OBJECT
  public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // The caption and value labels of row 0..4.
    QLabel* caption(int row) const { return captions_[row]; }
    QLabel* value(int row) const { return values_[row]; }

  private:
    QLabel* captions_[5] = {};
    QLabel* values_[5] = {};
};

}  // namespace fw
