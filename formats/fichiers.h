// Small file helpers: whole-file reads, line splitting, the 60-line
// parameter files and the directory walk that lists the input files.
#pragma once

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

// A path made absolute from the current directory, "." and ".." resolved; nothing when the
// current directory cannot be read or Windows-1252 cannot hold the whole path.
//   "desc/../x.dsc" from "/home/u" → "/home/u/x.dsc"
std::optional<std::string> chemin_absolu(std::string_view chemin);

// The last component of a path, and what stands before it with its final separator.
//   nom_de_fichier("/d/x.csv") == "x.csv"      dossier_de_fichier("/d/x.csv") == "/d/"
std::string nom_de_fichier(std::string_view chemin);
std::string dossier_de_fichier(std::string_view chemin);

// What stands at a path that is no file to read, in the user's words (Windows-1252); empty
// for a regular file, a link to one, or nothing at all.
//   nature_non_ordinaire("/tmp") == "un répertoire"
//   nature_non_ordinaire("lien vers /dev/null") == "un lien vers un périphérique"
std::string nature_non_ordinaire(std::string_view chemin);

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
    // Entries whose name matches the mask but which are no file to read (a FIFO, a device, a
    // directory that is not walked…): their path from the listed directory, and what they are.
    struct NonLu {
        std::string chemin;
        std::string nature;  // as nature_non_ordinaire says it
    };
    std::vector<NonLu> non_lus;
    int nb() const { return static_cast<int>(lignes.size()); }
};

// A file mask as the listing reads it, letter case ignored: "csv", ".csv" and "*.csv" name
// an extension; "*.*" every file; any other text is a pattern of the whole name, "*"
// standing for any run of characters and "?" for one ("LeGue_*.csv", "?.csv", an exact name).
class MasqueFichiers {
public:
    explicit MasqueFichiers(std::string_view masque);
    bool correspond(std::string_view nom) const;
    // A name pattern, which a file of another name but of the same extension does not match.
    bool motif_de_nom() const { return !tous_ && extension_.empty(); }

private:
    bool tous_ = false;
    std::string extension_;  // upper-cased, with its dot; empty for a name pattern
    std::string motif_;      // upper-cased
};

// Files of a directory whose name matches the mask, sorted by upper-cased name,
// sub-directories walked where their name falls when recursif. Names holding "~" (work
// files) and hidden directories are never listed. Other entries matching the mask that are
// no regular file are set apart in `non_lus`, so that none is left out without a word.
ListeFichiers lister_fichiers(std::string_view dossier, std::string_view masque, bool recursif);

// The single converted copy of a spreadsheet sheet, as the only line of a listing.
ListeFichiers lister_fichier_converti(std::string_view chemin);

}  // namespace tarvo
