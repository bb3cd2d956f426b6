#include "inventory/octets_fichier.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/texte.h"
#include "inventory/prelecture.h"
#include "plateforme/dialogue.h"

namespace tarvo {

namespace {

// Byte counters over blocks of 255 bytes cannot overflow, and let the loop run on whole
// vector registers.
template <bool Tabulation>
Comptes compter_et_remplacer(char* p, std::size_t n) {
    Comptes c;
    for (std::size_t i = 0; i < n;) {
        const std::size_t fin = std::min(n, i + 255);
        unsigned char lf = 0, cr = 0, nul = 0;
        for (; i < fin; ++i) {
            const auto o = static_cast<unsigned char>(p[i]);
            lf = static_cast<unsigned char>(lf + (o == '\n'));
            cr = static_cast<unsigned char>(cr + (o == '\r'));
            nul = static_cast<unsigned char>(nul | (o == 0));
            if constexpr (Tabulation) p[i] = o == '\t' ? ';' : static_cast<char>(o);
        }
        c.lf += lf;
        c.cr += cr;
        c.nul = c.nul || nul != 0;
    }
    return c;
}

}  // namespace

Comptes compter(char* p, std::size_t n, bool tabulation) {
    return tabulation ? compter_et_remplacer<true>(p, n) : compter_et_remplacer<false>(p, n);
}

// UTF-16 after its byte-order mark, rewritten in place as Windows-1252: each character
// gives one byte, so the writing never catches up with the reading. Returns the new size.
std::size_t utf16_vers_cp1252(char* p, std::size_t n, bool gros_boutien) {
    std::size_t lus = 0;
    return n < 2 ? 0 : utf16_suite_vers_cp1252(p + 2, n - 2, gros_boutien, true, p, lus);
}

bool marque_codage(const char* p, std::size_t n) {
    const auto o = [&](std::size_t i) { return static_cast<unsigned char>(p[i]); };
    return (n >= 3 && o(0) == 0xEF && o(1) == 0xBB && o(2) == 0xBF) ||
           (n >= 2 && ((o(0) == 0xFF && o(1) == 0xFE) || (o(0) == 0xFE && o(1) == 0xFF)));
}

// Turns a file marked by a byte-order mark into Windows-1252; returns the new size.
std::size_t convertir_selon_bom(char* p, std::size_t n) {
    const auto o = [&](std::size_t i) { return static_cast<unsigned char>(p[i]); };
    if (n >= 3 && o(0) == 0xEF && o(1) == 0xBB && o(2) == 0xBF) {
        const std::string cp = utf8_vers_cp1252(std::string_view(p + 3, n - 3));
        std::copy(cp.begin(), cp.end(), p);
        return cp.size();
    }
    if (n >= 2 && o(0) == 0xFF && o(1) == 0xFE) return utf16_vers_cp1252(p, n, false);
    if (n >= 2 && o(0) == 0xFE && o(1) == 0xFF) return utf16_vers_cp1252(p, n, true);
    return n;
}

void remplacer_nul(char* p, std::size_t n, char par) {
    for (char* q = p;
         (q = static_cast<char*>(std::memchr(q, 0, static_cast<std::size_t>(p + n - q))));)
        *q++ = par;
}

char remplacement_nul(bool tabulation, bool car_null, bool court, ModeEntree mode) {
    const bool copie_telle_quelle = mode != ModeEntree::fichiers && !tabulation;
    if (!copie_telle_quelle) return !tabulation && (court || car_null) ? '_' : '\x01';
    return mode == ModeEntree::classeur && (court || car_null) ? '_' : '\0';
}

namespace {

std::string message_ouvert_ailleurs(std::string_view chemin) {
    return fr("Le fichier ") + std::string(chemin) + "\n\n" +
           fr(" est ouvert par une autre application,\n\n") + fr(" solution => Fermer le fichier ");
}

std::string message_illisible(std::string_view chemin, int erreur) {
    const bool droits = erreur == EACCES || erreur == EPERM;
    return fr("Le fichier ") + std::string(chemin) + "\n\n " +
           (droits ? fr("lecture refusée (droits insuffisants)") : cause_systeme(erreur));
}

}  // namespace

Descripteur& Descripteur::operator=(Descripteur&& autre) noexcept {
    if (this != &autre) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = autre.fd_;
        autre.fd_ = -1;
    }
    return *this;
}

Descripteur::~Descripteur() {
    if (fd_ >= 0) ::close(fd_);
}

FichierDonnees ouvrir_fichier_donnees(std::string_view chemin, ModeEntree mode,
                                      Dialogue& dialogue) {
    FichierDonnees r;
    const std::filesystem::path natif = chemin_natif(chemin);

    // Without blocking: a FIFO put in a file's place would otherwise wait for a writer forever.
    Descripteur fichier(::open(natif.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fichier.fd() < 0) {
        const int erreur = errno;
        if (erreur == ENOENT || erreur == ENOTDIR) {
            // A file that vanished since the listing is refused once, and said so.
            if (mode == ModeEntree::presse_papier)
                dialogue.message(IdMessage::fichier_introuvable,
                                 std::string(chemin) + "\n\n" + fr("fichier introuvable "),
                                 TypeMessage::erreur);
            else
                dialogue.message(IdMessage::fichier_inexistant,
                                 fr("fichier inexistant\n") + std::string(chemin),
                                 TypeMessage::erreur);
        } else {
            dialogue.message(IdMessage::fichier_illisible, message_illisible(chemin, erreur),
                             TypeMessage::erreur);
        }
        return r;
    }
    struct stat etat {};
    if (::fstat(fichier.fd(), &etat) != 0)
        throw ErreurFichier(fr("Impossible de lire ") + std::string(chemin) + " : " +
                            cause_systeme(errno));
    if (!S_ISREG(etat.st_mode)) {
        dialogue.message(IdMessage::fichier_pas_ordinaire,
                         fr("Le fichier ") + std::string(chemin) + "\n\n" +
                             fr(" n'est pas un fichier ordinaire (dossier, tube ou périphérique) : "
                                "il n'est pas lu"),
                         TypeMessage::erreur);
        return r;
    }
    // Another program that is writing the file holds an exclusive lock: reading now would
    // give half a file. Readers share theirs, so two runs can read the same folder.
    if (::flock(fichier.fd(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        dialogue.message(IdMessage::fichier_ouvert_ailleurs, message_ouvert_ailleurs(chemin),
                         TypeMessage::avertissement);
        return r;
    }

    r.taille = etat.st_size;
    r.descripteur = std::move(fichier);
    return r;
}

std::size_t utf16_suite_vers_cp1252(const char* source, std::size_t n, bool gros_boutien, bool fin,
                                    char* destination, std::size_t& lus) {
    const auto unite = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(source[i]);
        const auto b = static_cast<unsigned char>(source[i + 1]);
        return gros_boutien ? static_cast<char32_t>(a << 8 | b) : static_cast<char32_t>(b << 8 | a);
    };
    std::size_t ecrit = 0;
    std::size_t i = 0;
    while (i + 1 < n) {
        char32_t c = unite(i);
        const bool haut = c >= 0xD800 && c <= 0xDBFF;
        // A high surrogate whose pair is in the next piece waits for it.
        if (haut && i + 3 >= n && !fin) break;
        i += 2;
        if (haut && i + 1 < n && unite(i) >= 0xDC00 && unite(i) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unite(i) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?';
        }
        destination[ecrit++] = caractere_cp1252(c);
    }
    if (fin && i < n) {
        destination[ecrit++] = '?';  // an odd last byte
        i = n;
    }
    lus = i;
    return ecrit;
}

std::size_t lire_octets(int fd, char* p, std::size_t n, std::string_view chemin) {
    for (;;) {
        const ssize_t r = ::read(fd, p, n);
        if (r >= 0) return static_cast<std::size_t>(r);
        if (errno != EINTR)
            throw ErreurFichier(fr("Impossible de lire ") + std::string(chemin) + " : " +
                                cause_systeme(errno));
    }
}

}  // namespace tarvo
