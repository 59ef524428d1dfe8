// The About box: program icon, name, version and one line about the program.
#pragma once

#include <QDialog>
#include <string>

#include "model/LabelSet.h"

namespace sw::app {

class TfrmVersion : public QDialog {
    Q_OBJECT
public:
    TfrmVersion(std::string settingsPath, QWidget* parent = nullptr);

    // "OK": writes the box's position and caption, then closes it.
    void Button1Click();

protected:
    // FormActivate: reads the position and caption under the hourglass.
    void showEvent(QShowEvent* event) override;

private:
    std::string m_settingsPath;
    sw::model::Bytes m_caption;
};

}  // namespace sw::app
