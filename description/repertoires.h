// The three working directories: their check and repair after a description is read, the
// list of recently used directories, and the change of drive inside every description.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo {

class Dialogue;
class JournalSuivi;

// Data, description and output directories, each ending with "/".
struct Repertoires {
    std::string dossier_choisi;
    std::string dossier_description;
    std::string dossier_choisi_sortie;
    bool operator==(const Repertoires&) const = default;
};

// What the three directory labels show before a directory is known (UTF-8 literals).
inline constexpr std::string_view repertoire_donnees_vide = "répertoire données";
inline constexpr std::string_view repertoire_sortie_vide = "répertoire de sortie";

enum class SuiteVerification { continuer, abandon };

struct ResultatVerification {
    SuiteVerification suite = SuiteVerification::continuer;
    Repertoires repertoires;  // as read when abandoned
};

// After a description was read from `chemin_description`: checks that its three directories
// exist and offers to repair them. `dossier_argument` is the directory of the description
// given on the command line ("" without one); its rules apply only to a description read
// from that directory. A directory that cannot be created throws ErreurFichier.
ResultatVerification verifier_repertoires_apres_lecture(const Repertoires& lus,
                                                        std::string_view chemin_description,
                                                        std::string_view dossier_argument,
                                                        Dialogue& dialogue);

// The recent-directories file in the program directory.
std::string fichier_rep_recents(std::string_view dossier_programme);

// The list of recently used directories: entries "1- " data, "2- " description, "3- " output.
class RepertoiresRecents {
public:
    explicit RepertoiresRecents(std::string fichier) : fichier_(std::move(fichier)) {}

    // Adds the entries of the three label texts that the list lacks (letter case aside),
    // placeholders and empty texts excepted, and saves the list. A list not read yet is
    // first read from its file, so that the file only grows. Throws ErreurFichier.
    void ajouter(const Repertoires& labels);
    // When the list is shown: the file's entries, or the three current directories when the
    // file is missing or holds none.
    void charger(const Repertoires& labels);
    // Empties the list in memory; the file follows at the next addition.
    void vider() {
        entrees_.clear();
        lue_ = true;
    }

    const std::vector<std::string>& entrees() const { return entrees_; }

private:
    void lire_fichier_entrees();
    void ajouter_entree(std::string entree);

    std::string fichier_;
    std::vector<std::string> entrees_;
    // The list in memory is the one to save: read from the file, or emptied by the user.
    bool lue_ = false;
};

// The directory of an entry: the text after its "k- " prefix.
std::string repertoire_de_entree(std::string_view entree);

struct ChoixRecent {
    enum class Action { aucune, choisir, effacer };
    Action action = Action::aucune;
    std::string repertoire;
};

// A double-click on an entry: a vanished directory is reported; otherwise Oui chooses it,
// Non offers to empty the list.
ChoixRecent choisir_repertoire_recent(std::string_view entree, Dialogue& dialogue);

// A drive here is the first component of a path: "/media/usb/mesures/" is on "/media", the
// rest "/usb/mesures/" is kept when the drive changes, as "C:\mesures\" becomes "D:\mesures\"
// elsewhere. A relative path has no drive ("").
std::string lecteur_de(std::string_view chemin);

// The descriptions of a directory (any case of ".dsc"), full paths, sorted by upper-cased name.
std::vector<std::string> chemins_descriptions(std::string_view dossier_description);

struct ResultatChangementLecteur {
    std::vector<std::string> rapport;  // lines added to the report
    Repertoires repertoires;           // the program's own directories afterwards
    int nb_modifs = 0;                 // directory lines rewritten in the files
    bool f_modif = false;
};

// Moves the three directories of every description to the drive `lecteur` ("" or ":" means
// the program's drive), only where the new directory exists; without `appliquer`, reports
// whether each directory exists. When applying, the program's own directories move too, a
// failure going to the tracking log.
ResultatChangementLecteur changer_lecteur(std::string_view lecteur,
                                          const std::vector<std::string>& chemins_fichiers,
                                          const Repertoires& repertoires,
                                          std::string_view dossier_programme, bool appliquer,
                                          JournalSuivi& journal);

}  // namespace tarvo
