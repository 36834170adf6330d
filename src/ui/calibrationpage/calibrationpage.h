#pragma once

#include "ui/configpage/configpage.h"

#include <QStringList>
#include <memory>

namespace Ui {
class CalibrationPage;
}

// The guided stick and trigger calibration. The procedure runs on the controller: the page
// sends the start and the finish command and shows the steps. A or Start begins, Down + Y
// on the controller or Finish ends it; Y or Back returns to the test page, but not while
// the controller calibrates.
class CalibrationPage : public ConfigPage
{
    Q_OBJECT

public:
    // The steps in the interface language, a picture path standing for each inline picture.
    static QStringList Instructions(bool chinese);

    explicit CalibrationPage(HidConfig *hidConfig, QWidget *parent = nullptr);
    ~CalibrationPage() override;

    void prepare();
    bool IsCalibrating() const;

signals:
    void mainWinPageShow(int num);

public slots:
    void on_btnStart_clicked();
    void on_btnFinshedCalibra_clicked();
    void on_btnBack_clicked();

public:
    void clickPadButtonA(bool pressed) override;

protected:
    void Reload() override;

private:
    void SetUpStyles();
    void BuildInstructions();
    // The background picture, placed for the model's kind.
    void ShowPicture(const QString &name);

    std::unique_ptr<Ui::CalibrationPage> ui;
};
