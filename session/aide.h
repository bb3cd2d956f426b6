// The numbered help of the main window: the entry shown for each control, and the rules
// that lay an entry out in the help area and in the floating help box.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Six Windows-1252 lines, the trailing ones empty.
using LignesAide = std::array<std::string, 6>;

struct EntreeAide {
    std::string numero;                  // "1a", "19", "62a"
    std::vector<std::string> controles;  // objectNames that show it
    LignesAide lignes;
    bool petite_police = false;  // too long for the help area's usual size
    bool nom_editeur = false;    // first line closed by the editor's name and ")"
};

// Every entry; number 29 has two entries (editor buttons, manual button).
const std::vector<EntreeAide>& entrees_aide();
// The entry of a control, nullptr when the control has none.
const EntreeAide* entree_aide(std::string_view controle);

// The lines as shown; `editeur` is the editor setting, named by the editor buttons' entry.
LignesAide lignes_aide(const EntreeAide& entree, std::string_view editeur);
// Font size of the help area: 10, 8 for the entries that need the room.
int taille_police_aide(const EntreeAide* entree);

// Lines shown: up to the last non-empty one, never fewer than two.
int lignes_a_afficher(const LignesAide& lignes);

// The floating box has no room for the numbers: the first two characters of every line
// that starts with a digit become two spaces ("19-  Ces…" → "  -  Ces…"); `numero` keeps
// the two characters of the last such line.
struct LignesFlottantes {
    LignesAide lignes;
    std::string numero;
};
LignesFlottantes lignes_flottantes(const LignesAide& lignes);

// What the window measures, in pixels: the six lines' widths in the window font, the
// pointer and the window on the screen, and the top of the caption of the period last
// processed in the window.
struct MesuresAide {
    std::array<int, 6> largeurs{};
    int pointeur_x = 0, pointeur_y = 0;
    int fenetre_gauche = 0, fenetre_haut = 0, fenetre_largeur = 0, fenetre_hauteur = 0;
    int haut_periode_traitee = 0;
    // The control explained, in window coordinates: the box never covers it.
    int controle_gauche = 0, controle_haut = 0, controle_largeur = 0, controle_hauteur = 0;
};
struct CadreAide {
    int gauche = 0, haut = 0, largeur = 0, hauteur = 0;
    bool operator==(const CadreAide&) const = default;
};
// Width 11/10 of the widest line (at least 150), 15 pixels a line plus 15, near the
// pointer but inside the window; entry "19" stays at the height of that caption (kept inside
// the window when it is scrolled out of sight). A box that would cover the control
// explained goes just below it, or above it when the window ends first.
// Example: lines 200 px wide, n = 3, pointer at (300, 400) in a 1280×800 window at the
// origin → {300, 420, 220, 60}.
CadreAide cadre_flottant(const MesuresAide& mesures, int n, std::string_view numero);

// What to change in a text showing `affichees` so that it shows `nouvelles`: the indexes
// of the lines that differ when the counts match, nothing when it must be refilled.
std::optional<std::vector<int>> lignes_a_remplacer(const std::vector<std::string>& affichees,
                                                   const std::vector<std::string>& nouvelles);

namespace detail {
// The two halves of the table, kept in files of their own for their length.
std::vector<EntreeAide> entrees_aide_haut();
std::vector<EntreeAide> entrees_aide_bas();
EntreeAide entree(std::string numero, std::vector<std::string> controles,
                  std::vector<std::string_view> lignes_utf8);
}  // namespace detail

}  // namespace tarvo
