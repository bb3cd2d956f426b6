// The name of the result file: the markers of the output name, the extension, the
// numbered name that spares an existing file, or the question before overwriting it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

class Dialogue;
class JournalSuivi;

// What a new result lacks, which the question before it replaces a file says.
enum class ResultatIncomplet { non, partiel, sans_valeur };

// What the naming reads from the window and the run.
struct ParametresNommage {
    std::string Edit_nom_fic_sortie;
    bool CheckBox_inc_nom = true;
    std::string dossier_sortie;  // with its final separator
    double duree_totale = 0;     // days: the stopwatches of stages 1 and 2 and the run so far
    std::string Label_temps_deb;
    std::string Label_temps_fin;
    long long nb_resultats = 0;  // N − 1
    ResultatIncomplet incomplet = ResultatIncomplet::non;
};

// The save dialog opened when the user refuses to overwrite.
struct DemandeEnregistrement {
    std::string titre;
    std::string nom_propose;
    std::string dossier;
    std::string filtre;
};
// The path chosen, nothing when cancelled. An empty function is a cancelled dialog.
using ChoixFichierSortie = std::function<std::optional<std::string>(const DemandeEnregistrement&)>;

struct NomResultat {
    std::string chemin;
    // The name once its last marker was removed, or the path chosen in the dialog; empty
    // without either. The tracking file quotes it.
    std::string nom_travail;
    // The dialog was cancelled: the results go to "~résultats.txt".
    bool recuperation = false;
    std::string nom_resultat;  // the file name shown
};

// A duration in days as "hh;mm;ss" (hours beyond 24 kept): 83 s → "00;01;23".
std::string duree_pour_nom(double jours);

// The output name once its markers are replaced, with its extension: "#" is removed and
// "_" + the duration appended, then "§" is removed and the period appended.
//   "A#" after 83 s → "A_00;01;23.txt"
//   "R§", 07/11/2021 → 08/11/2021, 240 results → "R du 07-11-2021 au 08-11-2021 (240).txt"
std::string nom_avec_marqueurs(const ParametresNommage& parametres, std::string& nom_travail);

// The result's file name without its folder, its markers replaced: "a.b.txt" keeps "a" and
// ".txt", the middle part is dropped.
std::string nom_fichier_resultat(const ParametresNommage& parametres, std::string& nom_travail);

// The output name of a description saved under a new name: made of the old description's
// name (its markers aside), it follows the new name, so that the two descriptions do not
// write one result file; any other output name is the user's and stays.
//   ("LeGue_horaire#", "LeGue_horaire.dsc", "LeGue_jour.dsc") → "LeGue_jour#"
std::string nom_sortie_apres_renommage(std::string_view sortie, std::string_view ancienne,
                                       std::string_view nouvelle);

// Why the output name cannot be the name of one file in the output folder, as the message
// shown before anything is read; empty when it can. Control characters, "/" and "\", "." and
// "..", and names too long for the result, its tracking file and their temporaries are refused.
std::string refus_nom_resultat(const ParametresNommage& parametres);

// The first of dossier + souche + extension, then souche(1), souche(2)… that is free on disk.
std::string premier_chemin_libre(std::string_view dossier, std::string_view souche,
                                 std::string_view extension);

// The whole naming, with the overwrite question and the save dialog when the increment is
// off. A partial result or one without a valid value is said so by that question, which
// then defaults to Non. Writes " => " + the file name to the log (and the recovery notice when
// cancelled).
NomResultat nommer_resultat(const ParametresNommage& parametres, Dialogue& dialogue,
                            const ChoixFichierSortie& choisir, JournalSuivi& journal);

}  // namespace tarvo
