// The program's own directory and the two numbered-line files kept there: the parameter
// file (last description, window colours) and the time-grid file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "description/cles_description.h"

namespace tarvo {

// Where the program directory may come from; read from the process by environnement_courant.
struct EnvironnementProgramme {
    std::optional<std::string> variable;  // TARVO_DOSSIER_PROGRAMME (UTF-8)
    std::string dossier_executable;       // UTF-8, empty when unknown
    std::optional<std::string> xdg_config_home;
    std::optional<std::string> home;
};
EnvironnementProgramme environnement_courant();

// The program directory with its final "/": the variable when set, else the executable's
// directory when it can be written, else <configuration directory>/tarvo/ (created).
std::string resoudre_dossier_programme(const EnvironnementProgramme& environnement);

// The same for this process, resolved on the first call and kept.
const std::string& dossier_programme();

// The current local date-time as a timestamp.
double maintenant_local();

// The companion files, named after the program.
std::string fichier_prm(std::string_view dossier_programme);
std::string fichier_2dt(std::string_view dossier_programme);

struct Couleur {
    int rouge = 0;
    int vert = 0;
    int bleu = 0;
    bool operator==(const Couleur&) const = default;
};

// Lines 2 to 5 of the parameter file: background, panels, grid, filled fields.
inline constexpr std::array<Couleur, 4> couleurs_par_defaut{
    {{255, 245, 221}, {245, 216, 175}, {208, 240, 218}, {183, 251, 249}}};

// The same four places in "niveaux de gris".
inline constexpr std::array<Couleur, 4> couleurs_gris{
    {{240, 240, 240}, {215, 215, 215}, {230, 230, 230}, {220, 220, 220}}};

// What the window paints: the grey values in grey mode (RadioGroup_coul_nb 1), else the
// colours chosen, which grey mode leaves untouched so that they are still there to save.
std::array<Couleur, 4> couleurs_affichees(int RadioGroup_coul_nb,
                                          const std::array<Couleur, 4>& couleurs);

// "r,g,b" with exactly two "," and three integers 0..255; nothing otherwise.
std::optional<Couleur> lire_ligne_couleur(std::string_view ligne);
std::string ecrire_ligne_couleur(Couleur couleur);

struct ParametresPrm {
    std::string derniere_description;  // line 1
    std::array<Couleur, 4> couleurs = couleurs_par_defaut;
    int RadioGroup_coul_nb = 0;  // line 6: 1 when not empty and not "0"
};
// A missing file or line gives the defaults line by line.
ParametresPrm lire_fichier_prm(std::string_view fichier_prm);

// After a modified description was written: line 1 the description, lines 2 to 5 the
// colours (only in colour mode, so grey values never overwrite them), line 6 the mode.
// One write: the file is never left half updated. Throws ErreurFichier.
void ecrire_prm_apres_description(std::string_view fichier_prm, std::string_view chemin_description,
                                  int RadioGroup_coul_nb, const std::array<Couleur, 4>& couleurs);

// The seven lines of the time-grid file.
struct ParametresGrille2dt {
    std::string Label_temps_deb;           // grid start, canonical date text
    std::string Label_temps_fin;           // grid end
    std::string TimePicker_pas;            // step, "hh:mm:ss"
    std::string resume_grille;             // expected number of rows
    int SpinEdit_pas_jour_mois_annee = 1;  // step count in days, months or years
    int test_strict = 0;                   // 0 "(inf ou =)", 1 "(inf strict)"
    int unite_pas = 0;                     // 0 hh:mn:ss, 1 jour, 2 mois, 3 année
    bool operator==(const ParametresGrille2dt&) const = default;
};

// The current settings with every non-empty line of the file applied; a number line that
// is not an integer is left out like an empty one.
ParametresGrille2dt lire_fichier_2dt(std::string_view fichier_2dt, ParametresGrille2dt actuels);

// Lines 1 to 7 replaced, the other lines of the 60 kept, in one write. Throws ErreurFichier;
// the caller clears grille_modifiee once written.
void ecrire_fichier_2dt(std::string_view fichier_2dt, const ParametresGrille2dt& grille);

}  // namespace tarvo
