// `Panel_coche`: the station selection panel that a right click on the "Station" or " x"
// column raises over the file table, with its five ways to mark the rows of a station.
#pragma once

#include <QFrame>
#include <array>
#include <string>

class QButtonGroup;
class QGroupBox;

namespace tarvo {

class PanneauCoche : public QFrame {
    Q_OBJECT
public:
    explicit PanneauCoche(QWidget* parent = nullptr);
    // The choices for the station of the row clicked, none of them selected.
    void preparer(const std::string& titre, const std::array<std::string, 5>& legendes);

signals:
    // 0..4 in the order of the legends.
    void choisi(int choix);

private:
    QGroupBox* groupe_ = nullptr;
    QButtonGroup* boutons_ = nullptr;
};

}  // namespace tarvo
