// The bytes of a data file as the loader and the streaming reader both need them: opened
// with the same checks, line ends counted, encodings turned into Windows-1252.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvo {

class Dialogue;
enum class ModeEntree;

// Lines longer than this are cut to their opening bytes and reported as unreadable rather
// than held in memory: far above any logger's line, even one of thousands of columns.
inline constexpr std::size_t ligne_max_octets = std::size_t{1} << 20;
// The opening bytes kept of a line too long to hold: enough for the log line that names it.
inline constexpr std::size_t debut_ligne_longue = 64;

// Line ends and NUL bytes of a buffer, counted in the pass that also rewrites its
// tabulations.
struct Comptes {
    std::size_t lf = 0;
    std::size_t cr = 0;
    bool nul = false;
    Comptes& operator+=(const Comptes& autre) {
        lf += autre.lf;
        cr += autre.cr;
        nul = nul || autre.nul;
        return *this;
    }
};

// Counts LF, CR and NUL bytes, turning tabulations into ";" when asked.
Comptes compter(char* p, std::size_t n, bool tabulation);

// UTF-16 after its byte-order mark, rewritten in place as Windows-1252: each character
// gives one byte, so the writing never catches up with the reading. Returns the new size.
std::size_t utf16_vers_cp1252(char* p, std::size_t n, bool gros_boutien);

// UTF-16 units (no mark) to Windows-1252 into `destination`, which may be the source itself
// or lie before it. Unless `fin`, an odd last byte or a high surrogate whose pair may follow is
// left unread: `lus` tells how far the source was used. Returns the bytes written.
std::size_t utf16_suite_vers_cp1252(const char* source, std::size_t n, bool gros_boutien, bool fin,
                                    char* destination, std::size_t& lus);

// The bytes open with a UTF-8 or UTF-16 byte-order mark.
bool marque_codage(const char* p, std::size_t n);

// Turns a whole file marked by a byte-order mark into Windows-1252; returns the new size.
std::size_t convertir_selon_bom(char* p, std::size_t n);

void remplacer_nul(char* p, std::size_t n, char par);

// What a NUL byte of a data file becomes (0: it stays): byte 1, which makes its line
// unreadable, or "_" for the unreadable-character option and files too short to hold data.
// The spreadsheet and clipboard copies, written by the program itself, keep theirs.
char remplacement_nul(bool tabulation, bool car_null, bool court, ModeEntree mode);

// Closes the descriptor, which also releases its lock.
class Descripteur {
public:
    Descripteur() = default;
    explicit Descripteur(int fd) : fd_(fd) {}
    Descripteur(Descripteur&& autre) noexcept : fd_(autre.fd_) { autre.fd_ = -1; }
    Descripteur& operator=(Descripteur&& autre) noexcept;
    Descripteur(const Descripteur&) = delete;
    Descripteur& operator=(const Descripteur&) = delete;
    ~Descripteur();
    int fd() const { return fd_; }
    bool ouvert() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// A data file opened for reading with a shared lock, and its size. Not opened (after the
// message to the user) when it is missing, unreadable, not a regular file or locked by a
// writer. Throws ErreurFichier when its state cannot be read.
struct FichierDonnees {
    Descripteur descripteur;
    long long taille = 0;
};
FichierDonnees ouvrir_fichier_donnees(std::string_view chemin, ModeEntree mode, Dialogue& dialogue);

// Reads up to n bytes, going on after an interruption; 0 at the end. Throws ErreurFichier.
std::size_t lire_octets(int fd, char* p, std::size_t n, std::string_view chemin);

}  // namespace tarvo
