// The session's texts that labels show, each with the objectName of its label: the one
// table from a core value to the control that shows it. Each panel shows its own zone's.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

class QColor;
class QLabel;
class QWidget;

namespace tarvo {

class Session;

enum class ZoneTexte { fenetre, description, valeurs, listage, periode, execution };

struct TexteAffiche {
    ZoneTexte zone;
    const char* controle;  // the label's objectName
    std::string_view (*texte)(const Session&);
    // The caption colour the text calls for, null to leave it as it is.
    const QColor* (*couleur)(const Session&) = nullptr;
    // An empty text leaves the label as it was.
    bool garder_si_vide = false;
};

const std::vector<TexteAffiche>& textes_affiches();

// The labels of one zone, resolved once when its panel is built: a missing one stops the
// program at start.
class TextesZone {
public:
    TextesZone() = default;
    TextesZone(const QWidget* panneau, ZoneTexte zone);
    void rafraichir(const Session& session) const;

private:
    std::vector<std::pair<QLabel*, const TexteAffiche*>> labels_;
};

}  // namespace tarvo
