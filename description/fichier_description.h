// Reading and writing the ".dsc" file of the description shown, and the state of the two
// save buttons that tells the user it was changed.
#pragma once

#include <string>
#include <string_view>

#include "description/cles_description.h"

namespace tarvo {

class JournalSuivi;

// What the description label and the description directory label show before any file
// (UTF-8 like every literal; fr() gives the label text).
inline constexpr std::string_view nom_description_vide = "fichier de description de données";
inline constexpr std::string_view nom_description_vide_chemin =
    "/fichier de description de données";
inline constexpr std::string_view repertoire_description_vide = "répertoire description";

// The label text names no file (blank, empty or a placeholder): nothing is read or written.
bool nom_description_absent(std::string_view nom);

// The file of a description: the directory + the name with its extension replaced by ".DSC".
// File names here are case-sensitive, so a file that already exists under another case of
// the extension is used rather than missed: the name as given when its extension is any
// case of ".dsc" and it exists, else name + ".DSC" when it exists, else the first existing
// name + any case of ".dsc", else name + ".DSC" (a new file).
//   ("/d/", "essai.txt") → "/d/essai.DSC"     ("/d/", "essai.dsc") → "/d/essai.dsc" if it exists
std::string chemin_description(std::string_view dossier_description, std::string_view nom);

struct ResultatLectureDescription {
    enum class Etat {
        sans_nom,     // placeholder or empty name: nothing done
        introuvable,  // no such file: nothing changed, `message` to show
        illisible,    // there but unreadable, or holding no key: nothing changed, `message`
        lue,          // every key applied; the directory check comes next
        interrompue,  // a radio index was not an integer: `message` to show, keys before applied
    };
    Etat etat = Etat::sans_nom;
    std::string chemin;
    std::string message;
};

// Reads the description named `nom` in `dossier_description` into the record.
ResultatLectureDescription lire_description(std::string_view dossier_description,
                                            std::string_view nom, Description& description,
                                            const ContexteDescription& contexte,
                                            JournalSuivi& journal);

struct ResultatEcritureDescription {
    enum class Etat { sans_nom, ecrite, echec };
    Etat etat = Etat::sans_nom;
    std::string chemin;
    std::string message;  // "Impossible de créer le fichier …" on failure; the old file is whole
};

// Writes every key over the file, atomically. On success the caller writes the grid file
// when the grid changed, the parameter file when f_modif was set, then clears f_modif.
ResultatEcritureDescription ecrire_description(std::string_view dossier_description,
                                               std::string_view nom,
                                               const Description& description);

// Which save button is drawn red. With a description directory shown, "Enregistrer" invites
// saving the changes; without one, "Enregistrer sous ..." does.
struct CouleursEnregistrement {
    bool SpeedButton_Enregistrer_dsc_rouge = false;
    bool SpeedButton_enreg_description_rouge = false;
    bool operator==(const CouleursEnregistrement&) const = default;
};
CouleursEnregistrement af_coul_si_f_modif(bool f_modif,
                                          std::string_view texte_Label_rep_description);

}  // namespace tarvo
