#include "inventory/prelecture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "description/description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "plateforme/dialogue.h"

namespace tarvo {

namespace {

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

Comptes compter(char* p, std::size_t n, bool tabulation) {
    return tabulation ? compter_et_remplacer<true>(p, n) : compter_et_remplacer<false>(p, n);
}

// Appends the offset that follows every `Fin` byte (the room is reserved by the caller).
// Splitting at LF, tells whether some CR stands alone, not followed by an LF.
template <char Fin>
bool debuts_apres(const char* p, std::size_t n, std::vector<std::size_t>& debuts) {
    std::size_t i = 0;
    bool cr_seul = false;
    bool cr_avant = false;  // the byte before i is a CR
#if defined(__SSE2__)
    // Sixteen bytes compared at once: a file of short lines is split at memory speed.
    const __m128i cible = _mm_set1_epi8(Fin);
    const __m128i retour = _mm_set1_epi8('\r');
    unsigned seuls = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        auto masque = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bloc, cible)));
        if constexpr (Fin == '\n') {
            const auto cr = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bloc, retour)));
            // A CR in the last byte is settled by the first byte of the next block.
            seuls |=
                (static_cast<unsigned>(cr_avant) & ~masque & 1u) | (cr & ~(masque >> 1) & 0x7FFFu);
            cr_avant = (cr >> 15) != 0;
        }
        for (; masque != 0; masque &= masque - 1)
            debuts.push_back(i + static_cast<std::size_t>(std::countr_zero(masque)) + 1);
    }
    cr_seul = seuls != 0;
#endif
    for (; i < n; ++i) {
        if (p[i] == Fin) debuts.push_back(i + 1);
        if (cr_avant && p[i] != '\n') cr_seul = true;
        cr_avant = p[i] == '\r';
    }
    return cr_seul || cr_avant;
}

// UTF-16 after its byte-order mark, rewritten in place as Windows-1252: each character
// gives one byte, so the writing never catches up with the reading. Returns the new size.
std::size_t utf16_vers_cp1252(char* p, std::size_t n, bool gros_boutien) {
    const auto unite = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(p[i]);
        const auto b = static_cast<unsigned char>(p[i + 1]);
        return gros_boutien ? static_cast<char32_t>(a << 8 | b) : static_cast<char32_t>(b << 8 | a);
    };
    std::size_t ecrit = 0;
    std::size_t i = 2;
    while (i + 1 < n) {
        char32_t c = unite(i);
        i += 2;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && unite(i) >= 0xDC00 && unite(i) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unite(i) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?';
        }
        p[ecrit++] = caractere_cp1252(c);
    }
    if (i < n) p[ecrit++] = '?';  // an odd last byte
    return ecrit;
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

// Closes the descriptor, which also releases its lock.
class Descripteur {
public:
    explicit Descripteur(int fd) : fd_(fd) {}
    Descripteur(const Descripteur&) = delete;
    Descripteur& operator=(const Descripteur&) = delete;
    ~Descripteur() {
        if (fd_ >= 0) ::close(fd_);
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

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

std::string_view TamponLignes::ligne(int i) const {
    if (i < 0 || i >= nb_lignes()) return {};
    const std::size_t debut = debuts_[static_cast<std::size_t>(i)];
    std::size_t fin = debuts_[static_cast<std::size_t>(i) + 1];
    const char* p = octets_.get();
    if (fin > debut && p[fin - 1] == '\n') --fin;
    if (fin > debut && p[fin - 1] == '\r') --fin;
    return {p + debut, fin - debut};
}

void TamponLignes::vider() {
    octets_.reset();
    taille_ = 0;
    debuts_.clear();
    debuts_.shrink_to_fit();
}

void TamponLignes::decouper(std::size_t nb_lf, std::size_t nb_cr) {
    debuts_.clear();
    const char* p = octets_.get();
    const std::size_t n = taille_;
    if (n == 0) return;
    if (nb_lf + nb_cr >= static_cast<std::size_t>(INT_MAX))
        throw ErreurFichier(fr("trop de lignes dans le fichier"));
    if (nb_cr == 0 || nb_lf == 0) {
        debuts_.reserve((nb_cr == 0 ? nb_lf : nb_cr) + 2);
        debuts_.push_back(0);
        if (nb_cr == 0)
            debuts_apres<'\n'>(p, n, debuts_);
        else
            debuts_apres<'\r'>(p, n, debuts_);
    } else {
        // Both kinds: most often every CR comes just before an LF, and the split at LF
        // notices any CR that stands alone.
        debuts_.reserve(nb_lf + 2);
        debuts_.push_back(0);
        if (debuts_apres<'\n'>(p, n, debuts_)) {
            // Some CR stands alone and ends a line of its own.
            debuts_ = std::vector<std::size_t>();
            debuts_.reserve(nb_lf + nb_cr + 2);
            debuts_.push_back(0);
            std::size_t i = 0;
            while (i < n) {
                const char* q = static_cast<const char*>(std::memchr(p + i, '\n', n - i));
                const std::size_t k = q ? static_cast<std::size_t>(q - p) : n;
                for (std::size_t j = i;;) {
                    const char* r = static_cast<const char*>(std::memchr(p + j, '\r', k - j));
                    if (r == nullptr) break;
                    const std::size_t m = static_cast<std::size_t>(r - p);
                    if (q != nullptr && m + 1 == k) break;
                    debuts_.push_back(m + 1);
                    j = m + 1;
                }
                if (q == nullptr) break;
                debuts_.push_back(k + 1);
                i = k + 1;
            }
        }
    }
    // After a final line end the last start is already the end of the bytes.
    if (debuts_.back() != n) debuts_.push_back(n);
}

void TamponLignes::charger(std::string_view contenu) {
    vider();
    taille_ = contenu.size();
    octets_ = std::make_unique_for_overwrite<char[]>(taille_);
    if (taille_ > 0) std::memcpy(octets_.get(), contenu.data(), taille_);
    const Comptes c = compter(octets_.get(), taille_, false);
    decouper(c.lf, c.cr);
}

class ChargeurFichier {
public:
    static void adopter(TamponLignes& tampon, std::unique_ptr<char[]> octets, std::size_t taille,
                        const Comptes& comptes) {
        tampon.octets_ = std::move(octets);
        tampon.taille_ = taille;
        tampon.decouper(comptes.lf, comptes.cr);
    }
};

bool prelire_fichier(std::string_view chemin, long long taille, const Description& description,
                     ModeEntree mode, TamponLignes& tampon, JournalSuivi& journal,
                     Dialogue& dialogue) {
    const bool tabulation =
        description.RadioGroup_separateur_colonne_ItemIndex == Separateur::tabulation;
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
        return false;
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
        return false;
    }
    // Another program that is writing the file holds an exclusive lock: reading now would
    // give half a file. Readers share theirs, so two runs can read the same folder.
    if (::flock(fichier.fd(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        dialogue.message(IdMessage::fichier_ouvert_ailleurs, message_ouvert_ailleurs(chemin),
                         TypeMessage::avertissement);
        return false;
    }

    // The previous file's bytes go first, so that two files never sit in memory at once.
    tampon.vider();
    const auto prevu = static_cast<std::size_t>(std::max<off_t>(etat.st_size, 0));
    auto octets = std::make_unique_for_overwrite<char[]>(prevu);
    char* p = octets.get();
    // Each piece is counted as soon as it is read, while it is still in the cache; a file
    // marked with its encoding is converted whole first.
    constexpr std::size_t morceau = std::size_t{1} << 20;
    std::size_t lu = 0;
    std::size_t compte = 0;
    std::optional<bool> marque;
    Comptes comptes;
    while (lu < prevu) {
        const ssize_t r = ::read(fichier.fd(), p + lu, std::min(morceau, prevu - lu));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw ErreurFichier(fr("Impossible de lire ") + std::string(chemin) + " : " +
                                cause_systeme(errno));
        }
        if (r == 0) break;
        lu += static_cast<std::size_t>(r);
        if (!marque && lu >= 3) marque = marque_codage(p, lu);
        if (marque == false) {
            comptes += compter(p + compte, lu - compte, tabulation);
            compte = lu;
        }
    }
    if (!marque) marque = marque_codage(p, lu);
    std::size_t n = lu;
    if (*marque) {
        n = convertir_selon_bom(p, lu);
        comptes = compter(p, n, tabulation);
    } else if (compte < lu) {
        comptes += compter(p + compte, lu - compte, tabulation);
    }
    // NUL bytes end no line: the split can come first, and tell whether the file is short.
    ChargeurFichier::adopter(tampon, std::move(octets), n, comptes);

    const long long num_ligne_donnee = lire_entier(description.Edit_num_ligne_donnee).value_or(0);
    const bool court = tampon.nb_lignes() < num_ligne_donnee + 2;
    const bool car_null = description.CheckBox_car_null;
    // The spreadsheet and clipboard copies were written by the program itself.
    const bool copie_telle_quelle = mode != ModeEntree::fichiers && !tabulation;

    if (n == 0 && !(mode == ModeEntree::presse_papier && !tabulation))
        journal.ajouter_probleme(ProblemeSuivi::fichier_vide,
                                 fr("fichier VIDE => ") + std::string(chemin));

    if (comptes.nul && !copie_telle_quelle)
        remplacer_nul(p, n, !tabulation && (court || car_null) ? '_' : '\x01');
    else if (comptes.nul && mode == ModeEntree::classeur && (court || car_null))
        remplacer_nul(p, n, '_');

    // A clipboard too short for the data lines is most likely a copy gone wrong.
    if (mode == ModeEntree::presse_papier && !tabulation && court) {
        std::string texte = fr(" le presse papier ne contient que ") + std::to_string(taille) +
                            fr(" octets\n\n") + fr(" 3 premières lignes :\n") +
                            "==============================\n";
        for (int i = 0; i < 3 && i < tampon.nb_lignes(); ++i)
            texte.append(tampon.ligne(i)).append("\n");
        texte += "==============================\n\n";
        texte += fr(" => Annuler pour   Recopier les données du fichier Excel");
        dialogue.message_perso(IdMessage::presse_papier_trop_court, texte,
                               TypeMessage::avertissement, fr("Annuler"));
        return false;
    }
    return true;
}

std::vector<std::string> apercu_tampon(const TamponLignes& tampon) {
    std::vector<std::string> apercu;
    for (int i = 0; i < 21 && i < tampon.nb_lignes(); ++i) {
        std::string l(tampon.ligne(i));
        for (char& c : l)
            if (c == ';' || c == '\0') c = '\t';
        apercu.push_back(reparer_accents(l));
    }
    apercu.emplace_back("=================================================");
    apercu.push_back(fr("cet affichage n'est qu'une partie du fichier..."));
    apercu.emplace_back("    double click pour affichage complet");
    return apercu;
}

bool copier_en_remplacant(std::string_view source, char a, std::string_view destination, char b,
                          JournalSuivi& journal, Dialogue& dialogue) {
    std::error_code erreur;
    if (!std::filesystem::is_regular_file(chemin_natif(source), erreur)) {
        dialogue.message(IdMessage::fichier_inexistant,
                         fr("fichier inexistant\n") + std::string(source), TypeMessage::erreur);
        // An empty std::string, not {}: the writer hands its data() to fwrite, never null.
        ecrire_fichier_atomique(destination, std::string());
        return false;
    }
    std::optional<std::string> contenu = lire_fichier(source);
    if (!contenu) throw ErreurFichier(fr("Impossible de lire ") + std::string(source));
    if (contenu->empty()) {
        journal.ajouter_probleme(ProblemeSuivi::fichier_vide,
                                 fr("fichier VIDE => ") + std::string(source));
        ecrire_fichier_atomique(destination, std::string());
        return false;
    }
    std::replace(contenu->begin(), contenu->end(), a, b);
    ecrire_fichier_atomique(destination, *contenu);
    return true;
}

}  // namespace tarvo
