// Loading one input file into memory as lines: the pre-reading of the listing, which the
// processing run also uses for every file it treats.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Dialogue;
class Progression;
class JournalSuivi;
struct Description;

// Where the input comes from: the files of the data directory, or the single converted
// copy of a spreadsheet sheet or of the clipboard.
enum class ModeEntree { fichiers, classeur, presse_papier };

// The first lines a buffer always holds, even when only the ends of its file were read:
// the window's memo shows that many.
inline constexpr int lignes_tete_garanties = 2000;

// The lines of the last file loaded, as one block of bytes and the offset where
// each line starts, so that a file of millions of lines costs no allocation per line.
// A big file may be held by its ends only: its first and last lines at their true index,
// the lines between them read as empty, and the exact count of its lines. The empty lines
// that end a file are only counted, and a line longer than ligne_max_octets is held by its
// opening debut_ligne_longue bytes: what is held follows the windows read, not the file.
class TamponLignes {
public:
    int nb_lignes() const { return nb_lignes_; }
    bool vide() const { return nb_lignes_ == 0; }
    // Every line is held, not only the ends of the file.
    bool complet() const { return nb_tete_ >= premiere_queue_; }
    // The lines held from the first one on: all of them when complete.
    int nb_lignes_tete() const { return nb_tete_; }
    // Line i was read: it is not one of those between the ends of a file held partly.
    bool tenue(int i) const {
        return i >= 0 && i < nb_lignes_ && (i < nb_tete_ || i >= premiere_queue_);
    }
    // Line i (0-based) without its end; the empty text outside the buffer and between
    // the ends of a file held partly.
    std::string_view ligne(int i) const;
    // The lines held cut to their opening bytes (0-based, in order).
    const std::vector<int>& lignes_coupees() const { return coupees_; }
    // The bytes held: the whole file, or its head then its tail.
    std::string_view octets() const { return {octets_.get(), taille_}; }
    void vider();

    // Takes the bytes as they are and splits them at CR LF, LF and lone CR; a final line
    // end adds no empty line.
    void charger(std::string_view contenu);

private:
    friend class ChargeurFichier;
    // Appends the starts of the lines of bytes [debut, debut + n), then their end; the
    // start of the first one is already there.
    void decouper(std::size_t debut, std::size_t n, std::size_t nb_lf, std::size_t nb_cr);
    // Splits the whole bytes, which hold nb_lf LF and nb_cr CR, into lines held from the first
    // one; the empty lines after the last one that is not empty are counted, not indexed.
    void decouper_tout(std::size_t nb_lf, std::size_t nb_cr);
    // Cuts the lines held beyond ligne_max_octets to their opening bytes, in place.
    void couper_longues();

    std::unique_ptr<char[]> octets_;
    std::size_t taille_ = 0;
    std::vector<std::size_t> debuts_;  // one per line held, then the end of the bytes
    std::vector<int> coupees_;
    int nb_lignes_ = 0;
    int nb_tete_ = 0;         // lines held from the start; the others end the file
    int premiere_queue_ = 0;  // index of the first line of the tail
    int fin_queue_ = 0;       // the lines from this one on are empty and not indexed
};

// How much of a big file the listing reads: files up to `seuil` bytes whole, bigger ones by
// their first `tete` bytes (grown up to `tete_max` until they hold the lines the listing
// looks at), their last `queue` bytes and a count of their lines in blocks of `bloc` bytes.
struct FenetresLecture {
    std::size_t seuil = std::size_t{16} << 20;
    std::size_t tete = std::size_t{1} << 20;
    std::size_t tete_max = std::size_t{64} << 20;
    std::size_t queue = std::size_t{1} << 20;
    std::size_t bloc = std::size_t{1} << 20;
    // Called between two blocks of the count, so that a window stays served meanwhile.
    std::function<void()> patienter;
    // The lines cut go to the tracking log; the run reports them itself as it reads them.
    bool signaler_coupees = true;
};

// The usual windows, the window served while a big file is counted.
FenetresLecture fenetres_servies(Progression& progression);

// Loads a file into the buffer, as the listing and the run do: refused (false, after the
// message) when another program holds a lock on it or it cannot be opened or found.
// A UTF-8 byte-order mark is dropped; a file marked UTF-8 or UTF-16 (either byte order) is
// turned into Windows-1252, a character outside it becoming "?". Then NUL bytes become
// byte 1 (or "_" for the unreadable-character option and short files), and tabulations
// ";" when the separator is the tabulation. The size is the one listed, quoted by the
// message of a clipboard that holds too little. Throws ErreurFichier on a read error.
// With `fenetres` a file above their threshold is held by its ends only, unless they miss
// a line that the data range needs: a tagged file whose tags lie far inside, or whose first
// data line lies far down, is loaded whole. Its tail is read back from the last line that
// is not empty. Each line cut is logged as the run logs an unreadable line:
// "ligne 5 pb " + its first 30 bytes.
bool prelire_fichier(std::string_view chemin, long long taille, const Description& description,
                     ModeEntree mode, TamponLignes& tampon, JournalSuivi& journal,
                     Dialogue& dialogue, std::optional<FenetresLecture> fenetres = std::nullopt);

// The preview: the first 21 lines as the buffer holds them, accents repaired; the window
// shows them cut into their fields, under the note_apercu.
std::vector<std::string> apercu_tampon(const TamponLignes& tampon);
// What follows the preview: it is only the beginning of the file.
std::vector<std::string> note_apercu();

// Copies a file replacing every byte a by b (the spreadsheet and clipboard imports turn
// their tabulations into ";" this way). A missing source is shown, an empty one logged;
// both leave an empty destination and give false. Throws ErreurFichier when the
// destination cannot be written.
bool copier_en_remplacant(std::string_view source, char a, std::string_view destination, char b,
                          JournalSuivi& journal, Dialogue& dialogue);

}  // namespace tarvo
