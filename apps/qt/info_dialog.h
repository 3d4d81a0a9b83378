#pragma once
// frmInfo drawn as a fixed-size modal QDialog: headline, the read-only text, "Ja" and "Nein".
#include <QDialog>

#include "guidance/frm_info.h"

class QPlainTextEdit;
class QPushButton;

namespace velmaro::qt {

class InfoDialog : public IInfoDialogView {
  public:
    // owner: the window the dialog is modal to.
    explicit InfoDialog(QWidget& owner) : owner_(owner) {}
    // Builds the window from the model's state and runs it until the model unloads.
    void ShowModal(frmInfo& dialog, WindowHandle owner) override;

  private:
    QWidget& owner_;
};

}  // namespace velmaro::qt
