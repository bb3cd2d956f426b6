// Small file helpers: whole-file reads, line splitting, atomic writes, the 60-line
// parameter files and the directory walk that lists the input files.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// An input/output failure, caught at the command boundary and shown to the user.
class ErreurFichier : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The cause of a failed system call in the user's words (French, Windows-1252), never the
// C library's English: "lecture refusée (droits insuffisants)", "disque plein"…
std::string cause_systeme(int numero_erreur);

// What an exception caught at a command boundary says to the user, in French: a file error
// as it stands, a lack of memory, a file system error with its path and cause.
std::string texte_exception(const std::exception& e);

// Core paths are Windows-1252 texts; the file system here speaks UTF-8.
std::filesystem::path chemin_natif(std::string_view chemin);

// The last component of a path, and what stands before it with its final separator.
//   nom_de_fichier("/d/x.csv") == "x.csv"      dossier_de_fichier("/d/x.csv") == "/d/"
std::string nom_de_fichier(std::string_view chemin);
std::string dossier_de_fichier(std::string_view chemin);

// Whether anything (file or directory) stands at that path; never throws.
bool existe(std::string_view chemin);
// A directory (or a link to one) at that path; false for the empty path.
bool dossier_existe(std::string_view chemin);

// The whole file; nothing when it cannot be read.
std::optional<std::string> lire_fichier(std::string_view chemin);

// Lines ended by CR LF, LF or a lone CR; a final line end adds no empty line.
std::vector<std::string_view> decouper_lignes(std::string_view contenu);

// The same lines, handed one by one without a list of them.
void pour_chaque_ligne(std::string_view contenu, const std::function<void(std::string_view)>& f);

// Writes beside the target and renames over it, so a failure never leaves a half file:
// the old file stays whole. Throws ErreurFichier.
void ecrire_fichier_atomique(std::string_view chemin, std::string_view contenu);

// The same for a text made piece by piece: `produire` hands each piece to the function it is
// given, so that a long text is never held whole.
using EcrireMorceau = std::function<void(std::string_view)>;
void ecrire_fichier_atomique(std::string_view chemin,
                             const std::function<void(const EcrireMorceau&)>& produire);

// The first half of that write: the whole text synced to "<target>.~ecriture", not yet in
// place, so that files which go together can all be written before any replaces its old
// version. Removed on destruction unless put in place. Throws ErreurFichier.
class FichierProvisoire {
public:
    // Flushes a descriptor to the disk; a parameter so that a test can see the call happen.
    using Synchroniser = int (*)(int descripteur);

    FichierProvisoire(std::string_view chemin, std::string_view contenu,
                      Synchroniser synchroniser = ::fsync);
    FichierProvisoire(std::string_view chemin,
                      const std::function<void(const EcrireMorceau&)>& produire,
                      Synchroniser synchroniser = ::fsync);
    ~FichierProvisoire();
    FichierProvisoire(const FichierProvisoire&) = delete;
    FichierProvisoire& operator=(const FichierProvisoire&) = delete;

    // Renames it over the target. Throws ErreurFichier, the temporary removed.
    void mettre_en_place();

private:
    [[noreturn]] void echec(const char* quoi);
    void liberer() noexcept;
    std::string chemin_;
    std::filesystem::path cible_;
    std::filesystem::path provisoire_;
    int emplacement_ = -1;  // in the list the interruption handler reads
    bool en_place_ = false;
};

// Removes every temporary still being written or waiting to be put in place. The one thing
// an interruption handler may call here: async-signal-safe, the paths kept ready beforehand.
void retirer_fichiers_provisoires() noexcept;

// Line n (1-based) of a file; empty when the file or the line does not exist.
std::string lire_ligne_parametre(std::string_view fichier, int n);

// The text as the single CR LF line of the file.
void ecrire_fichier_une_ligne(std::string_view texte, std::string_view fichier);

// Parameter files hold exactly this many lines, one value each.
inline constexpr int max_parametre = 60;

// Replaces line n of a parameter file, which is rewritten with exactly 60 lines. Beyond
// 60 nothing is written and the message for the user is returned; empty when written.
[[nodiscard]] std::string ecrire_ligne_parametre(std::string_view texte, std::string_view fichier,
                                                 int n);

struct ListeFichiers {
    // One line per file: relative directory ("" or ending with "/"), "  \t", name,
    // "  \t", size in bytes.
    std::vector<std::string> lignes;
    std::string premier;
    // Names that Windows-1252 cannot hold exactly, left out of the list (UTF-8).
    std::vector<std::string> noms_ignores;
    int nb() const { return static_cast<int>(lignes.size()); }
};

// Files of a directory whose extension matches the mask ("*.csv", ".csv", "csv" alike;
// "*.*" every file), sorted by upper-cased name, sub-directories walked where their
// name falls when recursif. Names holding "~" (work files) and hidden directories are
// never listed.
ListeFichiers lister_fichiers(std::string_view dossier, std::string_view masque, bool recursif);

// The single converted copy of a spreadsheet sheet, as the only line of a listing.
ListeFichiers lister_fichier_converti(std::string_view chemin);

}  // namespace tarvo
