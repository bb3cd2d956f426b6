// The directory chooser of the main window without the window: which directory is being
// chosen, what the chooser panel shows, and its commands (open, validate, cancel, the
// recent list, the drive change of the descriptions).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "description/repertoires.h"
#include "session/session.h"

namespace tarvo {

class Dialogue;
class Lanceur;

// Caption colours of the three directory buttons; the data button's normal one is maroon.
enum class CouleurLegende { normale, marron, rouge };

// What an opening request did to the chooser panel.
enum class SuiteOuverture {
    ignoree,  // a second request within half a second
    fermee,   // the button being chosen was clicked again
    ouverte,
};

struct ResultatValidation {
    // Files match the mask in the new data directory: the window lists them (stage 1).
    bool lister = false;
};

class ChoixRepertoire {
public:
    ChoixRepertoire(Session& session, Dialogue& dialogue, Lanceur& lanceur,
                    std::string_view dossier_programme);

    // The click on one of the three directory buttons, at `maintenant_secondes` on any clock;
    // `legende` is the caption of that button, which heads the message of a lost directory.
    SuiteOuverture ouvrir_choix_repertoire(ChoixRepertoireDemande quel, double maintenant_secondes,
                                           std::string_view legende = {});
    // The directory list moved (`DirectoryListBox1Change`).
    void changer_repertoire(std::string_view repertoire);
    // A path typed into the chooser: the list moves there when it is a directory; false,
    // after a message, when it is not.
    bool saisir_repertoire(std::string_view saisi);
    // "Valider": the directory of the list becomes the one being chosen.
    ResultatValidation valider_repertoire(std::string_view repertoire);
    void annuler_repertoire();

    // "récents": shows or hides the recent list.
    void basculer_recents();
    // A double-click on entry `indice` (0-based) of the recent list.
    void choisir_recent(std::size_t indice);
    // A double-click on a file of the file list: offers to open it in the text editor.
    void editer_fichier(std::string_view chemin);

    // `SpeedButton_change_hd`: the drive-change panel, or, while no description directory is
    // known, a message and the directory to choose first.
    ChoixRepertoireDemande ouvrir_changement_lecteur();
    // What the user typed in `Edit_lecteur`, as the field keeps it.
    void saisir_lecteur(std::string_view texte);
    // "Modifier": true when the descriptions and the program's directories were changed.
    bool modifier_lecteur();
    void fermer_changement_lecteur() { Panel_lecteur_visible = false; }

    // The directory the file manager opens on: the one shown, or the root when it vanished.
    std::string repertoire_explorateur() const;

    // The text of the label of a directory button: the directory, or its placeholder.
    std::string texte_label(ChoixRepertoireDemande quel) const;
    CouleurLegende couleur_bouton(ChoixRepertoireDemande quel) const;

    // --- what the panels show
    bool Panel_dir_visible = false;
    bool ListBox_rep_recent_visible = false;
    bool Panel_lecteur_visible = false;
    // The button drawn red; one directory is chosen at a time, so the caption colour it gets
    // back is always its normal one (`couleur_bouton`).
    ChoixRepertoireDemande bouton_rouge = ChoixRepertoireDemande::aucun;
    double heure_dernier_clic = -1e9;
    // Where the directory list points, with a final "/".
    std::string repertoire_liste;
    std::string Label_dir_new;
    bool Label_dir_new_rouge = false;
    bool valider_rouge = false;
    std::string nb_fichiers_repertoire;
    RepertoiresRecents recents;
    std::string repertoire_descriptions;  // whose paths the drive change rewrites
    std::string Edit_lecteur;
    std::vector<std::string> ListBox_CheminsFichiers;
    std::vector<std::string> rapport_lecteur;

private:
    Repertoires labels() const;
    void verifier_masque();
    void ajouter_recents();

    Session& session_;
    Dialogue& dialogue_;
    Lanceur& lanceur_;
    std::string dossier_programme_;
};

// `Edit_lecteur` holds one drive, the first component of a path, without its separators:
// a "/" is refused, a longer path is cut to its first component, and an emptied field
// takes the drive of the program's directory.
//   ("/media/usb", "/opt/tarvo/") → "media"     ("", "/opt/tarvo/") → "opt"
std::string regle_edit_lecteur(std::string_view saisi, std::string_view dossier_programme);

// The files (not directories, not hidden) directly inside a directory.
int nombre_fichiers(std::string_view repertoire);

}  // namespace tarvo
