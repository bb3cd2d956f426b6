// Loading one input file into memory as lines: the pre-reading of the listing, which the
// processing run also uses for every file it treats.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Dialogue;
class JournalSuivi;
struct Description;

// Where the input comes from: the files of the data directory, or the single converted
// copy of a spreadsheet sheet or of the clipboard.
enum class ModeEntree { fichiers, classeur, presse_papier };

// The lines of the last file loaded, as one block of bytes and the offset where
// each line starts, so that a file of millions of lines costs no allocation per line.
class TamponLignes {
public:
    int nb_lignes() const { return debuts_.empty() ? 0 : static_cast<int>(debuts_.size() - 1); }
    bool vide() const { return nb_lignes() == 0; }
    // Line i (0-based) without its end; the empty text outside the buffer.
    std::string_view ligne(int i) const;
    std::string_view octets() const { return {octets_.get(), taille_}; }
    void vider();

    // Takes the bytes as they are and splits them at CR LF, LF and lone CR; a final line
    // end adds no empty line.
    void charger(std::string_view contenu);

private:
    friend class ChargeurFichier;
    void decouper(std::size_t nb_lf, std::size_t nb_cr);

    std::unique_ptr<char[]> octets_;
    std::size_t taille_ = 0;
    std::vector<std::size_t> debuts_;  // one per line, then the end of the bytes
};

// Loads a file into the buffer, as the listing and the run do: refused (false, after the
// message) when another program holds a lock on it or it cannot be opened or found.
// A UTF-8 byte-order mark is dropped; a file marked UTF-8 or UTF-16 (either byte order) is
// turned into Windows-1252, a character outside it becoming "?". Then NUL bytes become
// byte 1 (or "_" for the unreadable-character option and short files), and tabulations
// ";" when the separator is the tabulation. The size is the one listed, quoted by the
// message of a clipboard that holds too little. Throws ErreurFichier on a read error.
bool prelire_fichier(std::string_view chemin, long long taille, const Description& description,
                     ModeEntree mode, TamponLignes& tampon, JournalSuivi& journal,
                     Dialogue& dialogue);

// The preview: the first 21 lines, ";" shown as tabulations and accents repaired, then a note
// that this is only the beginning of the file.
std::vector<std::string> apercu_tampon(const TamponLignes& tampon);

// Copies a file replacing every byte a by b (the spreadsheet and clipboard imports turn
// their tabulations into ";" this way). A missing source is shown, an empty one logged;
// both leave an empty destination and give false. Throws ErreurFichier when the
// destination cannot be written.
bool copier_en_remplacant(std::string_view source, char a, std::string_view destination, char b,
                          JournalSuivi& journal, Dialogue& dialogue);

}  // namespace tarvo
