// The About box: program icon, name, version and one line about the program.
#pragma once

#include <QDialog>
#include <string>

#include "model/Settings.h"

namespace sw::app {

class TfrmVersion : public QDialog {
    Q_OBJECT
public:
    TfrmVersion(sw::model::AppSettings& settings, QWidget* parent = nullptr);

    // "OK": writes the box's position and caption, then closes it.
    void Button1Click();

protected:
    // FormActivate: reads the position and caption under the hourglass.
    void showEvent(QShowEvent* event) override;

private:
    sw::model::AppSettings& m_settings;
    sw::model::Bytes m_caption;
};

}  // namespace sw::app
