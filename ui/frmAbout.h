#pragma once
// The About box: the program's name, version and what it does, on its warm background.

#include <QDialog>
#include <memory>

namespace Ui {
class frmAbout;
}

namespace korvane {

class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

private:
    std::unique_ptr<Ui::frmAbout> ui;
};

}  // namespace korvane
