#include "inventory/prelecture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "description/description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "inventory/intitules.h"
#include "inventory/octets_fichier.h"
#include "plateforme/dialogue.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

// Appends the offset that follows every `Fin` byte, plus `base` (the room is reserved by the
// caller). Splitting at LF, tells whether some CR stands alone, not followed by an LF.
template <char Fin>
bool debuts_apres(const char* p, std::size_t n, std::size_t base,
                  std::vector<std::size_t>& debuts) {
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
            debuts.push_back(base + i + static_cast<std::size_t>(std::countr_zero(masque)) + 1);
    }
    cr_seul = seuls != 0;
#endif
    for (; i < n; ++i) {
        if (p[i] == Fin) debuts.push_back(base + i + 1);
        if (cr_avant && p[i] != '\n') cr_seul = true;
        cr_avant = p[i] == '\r';
    }
    return cr_seul || cr_avant;
}

// The encoding told by the first bytes, as marque_codage and convertir_selon_bom read it.
enum class Codage { sans_marque, utf8, utf16_petit, utf16_gros };

Codage codage_de(const char* p, std::size_t n) {
    const auto o = [&](std::size_t i) { return static_cast<unsigned char>(p[i]); };
    if (n >= 3 && o(0) == 0xEF && o(1) == 0xBB && o(2) == 0xBF) return Codage::utf8;
    if (n >= 2 && o(0) == 0xFF && o(1) == 0xFE) return Codage::utf16_petit;
    if (n >= 2 && o(0) == 0xFE && o(1) == 0xFF) return Codage::utf16_gros;
    return Codage::sans_marque;
}

bool utf16(Codage c) {
    return c == Codage::utf16_petit || c == Codage::utf16_gros;
}

// Reads n bytes at a position, fewer only at the end of the file. Throws ErreurFichier.
std::size_t lire_a(int fd, char* p, std::size_t n, std::size_t position, std::string_view chemin) {
    std::size_t lu = 0;
    while (lu < n) {
        const ssize_t r = ::pread(fd, p + lu, n - lu, static_cast<off_t>(position + lu));
        if (r == 0) break;
        if (r < 0) {
            if (errno == EINTR) continue;
            throw ErreurFichier(fr("Impossible de lire ") + std::string(chemin) + " : " +
                                cause_systeme(errno));
        }
        lu += static_cast<std::size_t>(r);
    }
    return lu;
}

// The line ends of a text read in pieces: every LF, and every CR that no LF follows, in
// bytes or in 16-bit units.
class CompteurFins {
public:
    explicit CompteurFins(Codage codage) : codage_(codage) {}

    void ajouter(const char* p, std::size_t n) {
        if (utf16(codage_))
            ajouter_unites(p, n);
        else
            ajouter_octets(p, n);
    }
    // A CR that ends the text ends a line too.
    std::size_t total() const { return fins_ + (cr_avant_ ? 1 : 0); }

private:
    // A CR is settled by the byte after it, which the next piece holds for the last one.
    void ajouter_octets(const char* p, std::size_t n) {
        if (n == 0) return;
        if (cr_avant_ && p[0] != '\n') ++fins_;
        std::size_t i = 0;
#if defined(__SSE2__)
        // Sixteen bytes at a time, with the sixteen that follow by one: a byte counter per
        // lane, summed before it can overflow, keeps the count at memory speed.
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i zero = _mm_setzero_si128();
        while (i + 17 <= n) {
            const std::size_t tours = std::min<std::size_t>((n - 1 - i) / 16, 255);
            __m128i compte = zero;
            for (std::size_t t = 0; t < tours; ++t, i += 16) {
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
                const __m128i suivant =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
                const __m128i cr_seul =
                    _mm_andnot_si128(_mm_cmpeq_epi8(suivant, lf), _mm_cmpeq_epi8(b, cr));
                compte = _mm_sub_epi8(compte, _mm_or_si128(_mm_cmpeq_epi8(b, lf), cr_seul));
            }
            const __m128i sommes = _mm_sad_epu8(compte, zero);
            fins_ += static_cast<std::size_t>(_mm_cvtsi128_si32(sommes)) +
                     static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sommes, 8)));
        }
#endif
        for (; i + 1 < n; ++i)
            if (p[i] == '\n' || (p[i] == '\r' && p[i + 1] != '\n')) ++fins_;
        if (p[n - 1] == '\n') ++fins_;
        cr_avant_ = p[n - 1] == '\r';
    }

    // A UTF-16 file is read from its first unit on and in pieces of even size.
    void ajouter_unites(const char* p, std::size_t n) {
        const bool gros = codage_ == Codage::utf16_gros;
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            const auto a = static_cast<unsigned char>(p[i]);
            const auto b = static_cast<unsigned char>(p[i + 1]);
            const unsigned u = gros ? (a << 8 | b) : (b << 8 | a);
            if (u == '\n' || cr_avant_) ++fins_;
            cr_avant_ = u == '\r';
        }
    }

    Codage codage_;
    std::size_t fins_ = 0;
    bool cr_avant_ = false;
};

}  // namespace

std::string_view TamponLignes::ligne(int i) const {
    if (i < 0 || i >= nb_lignes_) return {};
    auto k = static_cast<std::size_t>(i);
    if (i >= nb_tete_) {
        if (i < premiere_queue_ || i >= fin_queue_) return {};
        k = static_cast<std::size_t>(nb_tete_) + static_cast<std::size_t>(i - premiere_queue_);
    }
    const std::size_t debut = debuts_[k];
    std::size_t fin = debuts_[k + 1];
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
    coupees_.clear();
    nb_lignes_ = nb_tete_ = premiere_queue_ = fin_queue_ = 0;
}

void TamponLignes::decouper(std::size_t debut, std::size_t n, std::size_t nb_lf,
                            std::size_t nb_cr) {
    const char* p = octets_.get() + debut;
    if (n == 0) return;
    if (nb_lf + nb_cr >= static_cast<std::size_t>(INT_MAX))
        throw ErreurFichier(fr("trop de lignes dans le fichier"));
    const std::size_t deja = debuts_.size();
    if (nb_cr == 0 || nb_lf == 0) {
        debuts_.reserve(deja + (nb_cr == 0 ? nb_lf : nb_cr) + 2);
        if (nb_cr == 0)
            debuts_apres<'\n'>(p, n, debut, debuts_);
        else
            debuts_apres<'\r'>(p, n, debut, debuts_);
    } else {
        // Both kinds: most often every CR comes just before an LF, and the split at LF
        // notices any CR that stands alone.
        debuts_.reserve(deja + nb_lf + 2);
        if (debuts_apres<'\n'>(p, n, debut, debuts_)) {
            // Some CR stands alone and ends a line of its own.
            debuts_.resize(deja);
            debuts_.reserve(deja + nb_lf + nb_cr + 2);
            std::size_t i = 0;
            while (i < n) {
                const char* q = static_cast<const char*>(std::memchr(p + i, '\n', n - i));
                const std::size_t k = q ? static_cast<std::size_t>(q - p) : n;
                for (std::size_t j = i;;) {
                    const char* r = static_cast<const char*>(std::memchr(p + j, '\r', k - j));
                    if (r == nullptr) break;
                    const std::size_t m = static_cast<std::size_t>(r - p);
                    if (q != nullptr && m + 1 == k) break;
                    debuts_.push_back(debut + m + 1);
                    j = m + 1;
                }
                if (q == nullptr) break;
                debuts_.push_back(debut + k + 1);
                i = k + 1;
            }
        }
    }
    // After a final line end the last start is already the end of the bytes.
    if (debuts_.back() != debut + n) debuts_.push_back(debut + n);
}

void TamponLignes::decouper_tout(std::size_t nb_lf, std::size_t nb_cr) {
    const char* p = octets_.get();
    std::size_t contenu = taille_;
    while (contenu > 0 && (p[contenu - 1] == '\n' || p[contenu - 1] == '\r')) --contenu;
    std::size_t fin = contenu;
    if (fin > 0 && fin < taille_ && p[fin] == '\r') ++fin;
    if (fin > 0 && fin < taille_ && p[fin] == '\n') ++fin;
    // After the last line that is not empty only line ends remain: each one an empty line.
    std::size_t apres = 0;
    for (std::size_t i = fin; i < taille_; ++i) {
        if (p[i] == '\n') {
            ++apres;
            --nb_lf;
        } else {
            if (i + 1 == taille_ || p[i + 1] != '\n') ++apres;
            --nb_cr;
        }
    }
    if (fin > 0) {
        debuts_.push_back(0);
        decouper(0, fin, nb_lf, nb_cr);
    }
    const std::size_t tenues = debuts_.empty() ? 0 : debuts_.size() - 1;
    if (tenues + apres >= static_cast<std::size_t>(INT_MAX))
        throw ErreurFichier(fr("trop de lignes dans le fichier"));
    nb_tete_ = premiere_queue_ = fin_queue_ = static_cast<int>(tenues);
    nb_lignes_ = static_cast<int>(tenues + apres);
}

void TamponLignes::couper_longues() {
    char* p = octets_.get();
    const std::size_t nb = debuts_.empty() ? 0 : debuts_.size() - 1;
    const auto fin_contenu = [&](std::size_t debut, std::size_t fin) {
        if (fin > debut && p[fin - 1] == '\n') --fin;
        if (fin > debut && p[fin - 1] == '\r') --fin;
        return fin;
    };
    bool une = false;
    for (std::size_t k = 0; k < nb && !une; ++k)
        une = fin_contenu(debuts_[k], debuts_[k + 1]) - debuts_[k] > ligne_max_octets;
    if (!une) return;
    // Moved down in place: a line only ever shrinks.
    std::size_t ecrit = 0;
    for (std::size_t k = 0; k < nb; ++k) {
        const std::size_t debut = debuts_[k];
        const std::size_t fin = debuts_[k + 1];
        const std::size_t contenu = fin_contenu(debut, fin);
        debuts_[k] = ecrit;
        if (contenu - debut > ligne_max_octets) {
            std::memmove(p + ecrit, p + debut, debut_ligne_longue);
            ecrit += debut_ligne_longue;
            std::memmove(p + ecrit, p + contenu, fin - contenu);
            ecrit += fin - contenu;
            coupees_.push_back(static_cast<int>(k) < nb_tete_
                                   ? static_cast<int>(k)
                                   : premiere_queue_ + static_cast<int>(k) - nb_tete_);
        } else {
            std::memmove(p + ecrit, p + debut, fin - debut);
            ecrit += fin - debut;
        }
    }
    debuts_[nb] = ecrit;
    taille_ = ecrit;
}

void TamponLignes::charger(std::string_view contenu) {
    vider();
    taille_ = contenu.size();
    octets_ = std::make_unique_for_overwrite<char[]>(taille_);
    if (taille_ == 0) return;
    std::memcpy(octets_.get(), contenu.data(), taille_);
    const Comptes c = compter(octets_.get(), taille_, false);
    decouper_tout(c.lf, c.cr);
    couper_longues();
}

// Fills a buffer from an open data file, whole or by its ends.
class ChargeurFichier {
public:
    ChargeurFichier(const Descripteur& fichier, std::string_view chemin, std::size_t taille,
                    const Description& description, ModeEntree mode, TamponLignes& tampon)
        : fd_(fichier.fd()),
          chemin_(chemin),
          taille_(taille),
          d_(description),
          mode_(mode),
          tampon_(tampon),
          tabulation_(description.RadioGroup_separateur_colonne_ItemIndex ==
                      Separateur::tabulation),
          num_ligne_donnee_(lire_entier(description.Edit_num_ligne_donnee).value_or(0)) {}

    // Returns the number of bytes loaded.
    std::size_t charger_entier();
    // False, with the buffer empty, when the ends of the file miss a line the listing needs.
    bool charger_extremites(const FenetresLecture& f);

private:
    bool court(int nb_lignes) const { return nb_lignes < num_ligne_donnee_ + 2; }
    void remplacer_nul_selon(char* p, std::size_t n, int nb_lignes) const {
        if (const char par =
                remplacement_nul(tabulation_, d_.CheckBox_car_null, court(nb_lignes), mode_))
            remplacer_nul(p, n, par);
    }
    struct FinTexte;
    FinTexte chercher_fin(std::size_t texte, Codage codage, const FenetresLecture& f);
    std::string lire_queue(std::size_t debut, std::size_t fin, Codage codage);
    std::string lire_tete(std::size_t n, Codage codage, bool lignes_entieres = true);
    std::string debut_ligne(std::size_t debut, std::size_t fin, Codage codage);
    bool assembler(const std::string& tete, const std::string& queue, std::size_t nb_tenues,
                   std::size_t nb_lignes);
    void tenir_entier(const std::string& octets, std::size_t nb_lignes);

    int fd_;
    std::string_view chemin_;
    std::size_t taille_;
    const Description& d_;
    ModeEntree mode_;
    TamponLignes& tampon_;
    bool tabulation_;
    long long num_ligne_donnee_;
};

std::size_t ChargeurFichier::charger_entier() {
    auto octets = std::make_unique_for_overwrite<char[]>(taille_);
    char* p = octets.get();
    // Each piece is counted as soon as it is read, while it is still in the cache; a file
    // marked with its encoding is converted whole first.
    constexpr std::size_t morceau = std::size_t{1} << 20;
    std::size_t lu = 0;
    std::size_t compte = 0;
    std::optional<bool> marque;
    Comptes comptes;
    while (lu < taille_) {
        const std::size_t r = lire_octets(fd_, p + lu, std::min(morceau, taille_ - lu), chemin_);
        if (r == 0) break;
        lu += r;
        if (!marque && lu >= 3) marque = marque_codage(p, lu);
        if (marque == false) {
            comptes += compter(p + compte, lu - compte, tabulation_);
            compte = lu;
        }
    }
    if (!marque) marque = marque_codage(p, lu);
    std::size_t n = lu;
    if (*marque) {
        n = convertir_selon_bom(p, lu);
        comptes = compter(p, n, tabulation_);
    } else if (compte < lu) {
        comptes += compter(p + compte, lu - compte, tabulation_);
    }
    // NUL bytes end no line: the split can come first, and tell whether the file is short.
    tampon_.octets_ = std::move(octets);
    tampon_.taille_ = n;
    if (n > 0) tampon_.decouper_tout(comptes.lf, comptes.cr);
    tampon_.couper_longues();
    if (comptes.nul) remplacer_nul_selon(p, tampon_.taille_, tampon_.nb_lignes_);
    return n;
}

namespace {

unsigned unite_en(const char* p, std::size_t k, Codage codage) {
    if (!utf16(codage)) return static_cast<unsigned char>(p[k]);
    const auto a = static_cast<unsigned char>(p[2 * k]);
    const auto b = static_cast<unsigned char>(p[2 * k + 1]);
    return codage == Codage::utf16_gros ? (a << 8 | b) : (b << 8 | a);
}

bool fin_de_ligne(unsigned u) {
    return u == '\n' || u == '\r';
}

}  // namespace

// Where the last line that is not empty ends: `contenu` after its last unit, `fin` after its
// line end; and how many line ends follow it.
struct ChargeurFichier::FinTexte {
    bool trouvee = false;
    std::size_t contenu = 0;
    std::size_t fin = 0;
    std::size_t fins_apres = 0;
};

// Read back from the end a block at a time, so that a file ending in millions of empty lines
// costs one block.
ChargeurFichier::FinTexte ChargeurFichier::chercher_fin(std::size_t texte, Codage codage,
                                                        const FenetresLecture& f) {
    const std::size_t u = utf16(codage) ? 2 : 1;
    FinTexte r;
    // A lone last byte of a UTF-16 file is a character of its own.
    if (utf16(codage) && (taille_ - texte) % 2 != 0) {
        r.trouvee = true;
        r.contenu = r.fin = taille_;
        return r;
    }
    const std::size_t bloc = std::max<std::size_t>(f.bloc & ~std::size_t{1}, 64);
    auto morceau = std::make_unique_for_overwrite<char[]>(bloc);
    std::size_t fins = 0;
    bool lf_apres = false;
    for (std::size_t fin = taille_; fin > texte && !r.trouvee;) {
        const std::size_t debut = fin - std::min(bloc, fin - texte);
        lire_a(fd_, morceau.get(), fin - debut, debut, chemin_);
        for (std::size_t j = (fin - debut) / u; j > 0; --j) {
            const unsigned v = unite_en(morceau.get(), j - 1, codage);
            if (v == '\n') {
                ++fins;
                lf_apres = true;
            } else if (v == '\r') {
                if (!lf_apres) ++fins;
                lf_apres = false;
            } else {
                r.trouvee = true;
                r.contenu = debut + j * u;
                break;
            }
        }
        fin = debut;
        if (f.patienter) f.patienter();
    }
    r.fins_apres = fins;
    if (!r.trouvee) return r;
    std::array<char, 4> apres{};
    const std::size_t n = lire_a(fd_, apres.data(), 2 * u, r.contenu, chemin_) / u;
    r.fin = r.contenu;
    if (n > 0 && unite_en(apres.data(), 0, codage) == '\r') {
        r.fin += u;
        if (n > 1 && unite_en(apres.data(), 1, codage) == '\n') r.fin += u;
    } else if (n > 0 && unite_en(apres.data(), 0, codage) == '\n') {
        r.fin += u;
    }
    if (r.fin > r.contenu) --r.fins_apres;
    return r;
}

// The whole lines of the file between `debut` and `fin`, converted: they begin after the
// first line end found there, which the unit before `debut` settles.
std::string ChargeurFichier::lire_queue(std::size_t debut, std::size_t fin, Codage codage) {
    const std::size_t u = utf16(codage) ? 2 : 1;
    std::string brut(fin - (debut - u), '\0');
    brut.resize(lire_a(fd_, brut.data(), brut.size(), debut - u, chemin_));
    const bool gros = codage == Codage::utf16_gros;
    const auto unite = [&](std::size_t k) -> unsigned {
        const auto a = static_cast<unsigned char>(brut[k * u]);
        if (u == 1) return a;
        const auto b = static_cast<unsigned char>(brut[k * u + 1]);
        return gros ? (a << 8 | b) : (b << 8 | a);
    };
    const std::size_t nb = brut.size() / u;
    std::size_t k = 1;
    for (; k < nb; ++k) {
        const unsigned avant = unite(k - 1);
        if (avant == '\n' || (avant == '\r' && unite(k) != '\n')) break;
    }
    if (k >= nb) return {};
    switch (codage) {
        case Codage::sans_marque:
            return brut.substr(k);
        case Codage::utf8:
            return utf8_vers_cp1252(std::string_view(brut).substr(k));
        case Codage::utf16_petit:
        case Codage::utf16_gros: {
            // The converter skips two bytes, where the mark of the file stands.
            std::string unites = brut.substr(k * 2 - 2);
            unites.resize(utf16_vers_cp1252(unites.data(), unites.size(), gros));
            return unites;
        }
    }
    return {};
}

// The first n bytes of the file, converted, cut after their last line end unless they end at
// a line boundary: a CR ends its line whether an LF follows or not.
std::string ChargeurFichier::lire_tete(std::size_t n, Codage codage, bool lignes_entieres) {
    std::string tete(n, '\0');
    tete.resize(lire_a(fd_, tete.data(), n, 0, chemin_));
    if (codage != Codage::sans_marque) tete.resize(convertir_selon_bom(tete.data(), tete.size()));
    if (lignes_entieres) tete.resize(tete.find_last_of("\r\n") + 1);
    return tete;
}

// A line too long to hold, from `debut` to its content's end `fin`: its opening bytes.
std::string ChargeurFichier::debut_ligne(std::size_t debut, std::size_t fin, Codage codage) {
    // Enough units for the opening bytes whatever the encoding; UTF-16 is converted with the
    // unit before, where the converter expects the mark.
    const std::size_t avant = utf16(codage) ? 2 : 0;
    std::string brut(std::min(fin - debut, 4 * debut_ligne_longue) + avant, '\0');
    brut.resize(lire_a(fd_, brut.data(), brut.size(), debut - avant, chemin_));
    if (codage == Codage::utf8) brut = utf8_vers_cp1252(brut);
    if (utf16(codage))
        brut.resize(utf16_vers_cp1252(brut.data(), brut.size() & ~std::size_t{1},
                                      codage == Codage::utf16_gros));
    // Kept past the cut, so that the buffer counts it as too long and cuts it as the others.
    brut.resize(std::min(brut.size(), debut_ligne_longue));
    brut.append(ligne_max_octets + 1 - brut.size(), ' ');
    return brut;
}

// Puts the head and tail lines in the buffer as lines 0… and the tail's nb_tenues lines as
// the last that are not empty, of nb_lignes; false when the count leaves no room between.
bool ChargeurFichier::assembler(const std::string& tete, const std::string& queue,
                                std::size_t nb_tenues, std::size_t nb_lignes) {
    TamponLignes& t = tampon_;
    t.vider();
    if (nb_lignes >= static_cast<std::size_t>(INT_MAX))
        throw ErreurFichier(fr("trop de lignes dans le fichier"));
    t.taille_ = tete.size() + queue.size();
    t.octets_ = std::make_unique_for_overwrite<char[]>(t.taille_);
    char* p = t.octets_.get();
    std::copy(tete.begin(), tete.end(), p);
    std::copy(queue.begin(), queue.end(), p + tete.size());
    const Comptes ct = compter(p, tete.size(), tabulation_);
    const Comptes cq = compter(p + tete.size(), queue.size(), tabulation_);
    t.debuts_.push_back(0);
    t.decouper(0, tete.size(), ct.lf, ct.cr);
    t.nb_tete_ = static_cast<int>(t.debuts_.size() - 1);
    t.decouper(tete.size(), queue.size(), cq.lf, cq.cr);
    const auto nb_queue = static_cast<int>(t.debuts_.size() - 1) - t.nb_tete_;
    t.nb_lignes_ = static_cast<int>(nb_lignes);
    t.fin_queue_ = static_cast<int>(nb_tenues);
    t.premiere_queue_ = t.fin_queue_ - nb_queue;
    if (t.premiere_queue_ < t.nb_tete_) {
        t.vider();
        return false;
    }
    t.couper_longues();
    if (ct.nul || cq.nul) remplacer_nul_selon(p, t.taille_, t.nb_lignes_);
    return true;
}

// The lines up to the last that is not empty, all held, then nb_lignes counted.
void ChargeurFichier::tenir_entier(const std::string& octets, std::size_t nb_lignes) {
    TamponLignes& t = tampon_;
    t.vider();
    t.taille_ = octets.size();
    t.octets_ = std::make_unique_for_overwrite<char[]>(t.taille_);
    char* p = t.octets_.get();
    std::copy(octets.begin(), octets.end(), p);
    const Comptes c = compter(p, t.taille_, tabulation_);
    if (t.taille_ > 0) t.decouper_tout(c.lf, c.cr);
    if (nb_lignes >= static_cast<std::size_t>(INT_MAX))
        throw ErreurFichier(fr("trop de lignes dans le fichier"));
    t.nb_lignes_ = static_cast<int>(nb_lignes);
    t.couper_longues();
    if (c.nul) remplacer_nul_selon(p, t.taille_, t.nb_lignes_);
}

bool ChargeurFichier::charger_extremites(const FenetresLecture& f) {
    std::array<char, 3> debut{};
    const Codage codage = codage_de(debut.data(), lire_a(fd_, debut.data(), 3, 0, chemin_));
    const std::size_t u = utf16(codage) ? 2 : 1;
    const std::size_t texte = utf16(codage) ? 2 : codage == Codage::utf8 ? 3 : 0;
    const FinTexte fin = chercher_fin(texte, codage, f);
    if (!fin.trouvee) {
        // Nothing but line ends: every line is empty.
        tenir_entier({}, fin.fins_apres);
        return true;
    }

    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    CompteurFins fins(codage);
    const std::size_t bloc = std::max<std::size_t>(f.bloc & ~std::size_t{1}, 64);
    auto morceau = std::make_unique_for_overwrite<char[]>(bloc);
    // The start of the last line that is not empty: after the last line end before its end.
    std::size_t debut_derniere = texte;
    for (std::size_t position = utf16(codage) ? 2 : 0; position < taille_;) {
        const std::size_t r =
            lire_a(fd_, morceau.get(), std::min(bloc, taille_ - position), position, chemin_);
        if (r == 0) break;
        fins.ajouter(morceau.get(), r);
        const std::size_t avant = position < fin.contenu ? std::min(r, fin.contenu - position) : 0;
        if (u == 1) {
            const char* p = morceau.get();
            const auto* lf = static_cast<const char*>(::memrchr(p, '\n', avant));
            const auto* cr = static_cast<const char*>(::memrchr(p, '\r', avant));
            if (lf != nullptr || cr != nullptr)
                debut_derniere = position + static_cast<std::size_t>(std::max(lf, cr) - p) + 1;
        } else {
            for (std::size_t j = avant / u; j > 0; --j)
                if (fin_de_ligne(unite_en(morceau.get(), j - 1, codage))) {
                    debut_derniere = position + j * u;
                    break;
                }
        }
        position += r;
        if (f.patienter) f.patienter();
    }
    const bool fin_ouverte = fin.contenu == taille_;
    const std::size_t nb_lignes = fins.total() + (fin_ouverte ? 1 : 0);
    const std::size_t nb_tenues = nb_lignes - fin.fins_apres;

    // A last line too long to hold is read by its opening bytes, the lines before it whole.
    const bool longue = (fin.contenu - debut_derniere) / u > ligne_max_octets;
    const std::size_t fin_lignes = longue ? debut_derniere : fin.fin;
    std::string derniere;
    if (longue) {
        derniere = debut_ligne(debut_derniere, fin.contenu, codage);
        if (fin.fin > fin.contenu) derniere += '\n';
    }
    std::size_t debut_queue = fin_lignes - std::min(f.queue, fin_lignes);
    if (!longue) debut_queue = std::min(debut_queue, debut_derniere);
    if (utf16(codage) && debut_queue % 2 != 0) ++debut_queue;
    // Head and tail would meet: the lines are few enough to be held from the first one.
    const auto tout = [&] {
        tenir_entier(lire_tete(fin_lignes, codage, false) + derniere, nb_lignes);
        return true;
    };
    if (debut_queue < texte + u) return tout();
    const std::string queue = lire_queue(debut_queue, fin_lignes, codage) + derniere;

    // The head grows until it holds the lines the listing reads from the start.
    const int num_intitules = lire_entier(d_.Edit_num_ligne_intitule_col).value_or(0);
    for (std::size_t n = f.tete;; n = std::min(2 * n, f.tete_max)) {
        if (n >= debut_queue) return tout();
        if (!assembler(lire_tete(n, codage), queue, nb_tenues, nb_lignes)) return false;
        const PlageDonnees plage = plage_donnees(d_, tampon_);
        // The last data line must lie in the tail, and with tags the end tag after it: a
        // tail of blank lines, or an end tag only in the lines not read, would move it.
        if (plage.derniere < tampon_.premiere_queue_) break;
        if (d_.RadioGroup_numlig_balise_ItemIndex == DebutDonnees::balises &&
            !contient(tampon_.ligne(plage.derniere + 1), d_.Edit_balise_fin))
            break;
        // The title line, the first data line, and the hundred lines after the start tag
        // that the sample analysis looks at.
        const long long balise = plage.decalage_balise;
        const long long besoin =
            std::max({static_cast<long long>(lignes_tete_garanties), balise + num_intitules,
                      static_cast<long long>(plage.premiere) + 1, balise + 100});
        if (tampon_.nb_tete_ >= besoin) return true;
        if (n == f.tete_max) break;
    }
    tampon_.vider();
    return false;
}

namespace {

// As the run reports a line it cannot read: the first two with their opening bytes, then
// that there are more.
void signaler_coupees(const TamponLignes& tampon, JournalSuivi& journal) {
    const std::vector<int>& coupees = tampon.lignes_coupees();
    for (std::size_t k = 0; k < coupees.size() && k < 3; ++k) {
        const std::string ligne = "ligne " + std::to_string(coupees[k] + 1);
        journal.ajouter_probleme(
            ProblemeSuivi::ligne_trop_longue,
            k < 2 ? ligne + " pb " + std::string(tampon.ligne(coupees[k]).substr(0, 30))
                  : ligne + " pb etc ......... ");
    }
}

}  // namespace

FenetresLecture fenetres_servies(Progression& progression) {
    FenetresLecture fenetres;
    fenetres.patienter = servir_par_intervalles(progression);
    return fenetres;
}

bool prelire_fichier(std::string_view chemin, long long taille, const Description& description,
                     ModeEntree mode, TamponLignes& tampon, JournalSuivi& journal,
                     Dialogue& dialogue, std::optional<FenetresLecture> fenetres) {
    const bool tabulation =
        description.RadioGroup_separateur_colonne_ItemIndex == Separateur::tabulation;
    const FichierDonnees ouvert = ouvrir_fichier_donnees(chemin, mode, dialogue);
    if (!ouvert.descripteur.ouvert()) return false;

    // The previous file's bytes go first, so that two files never sit in memory at once.
    tampon.vider();
    const auto prevu = static_cast<std::size_t>(std::max<long long>(ouvert.taille, 0));
    ChargeurFichier chargeur(ouvert.descripteur, chemin, prevu, description, mode, tampon);
    const bool extremites =
        fenetres && prevu > fenetres->seuil && chargeur.charger_extremites(*fenetres);
    if (!extremites && chargeur.charger_entier() == 0 &&
        !(mode == ModeEntree::presse_papier && !tabulation))
        journal.ajouter_probleme(ProblemeSuivi::fichier_vide,
                                 fr("fichier VIDE => ") + std::string(chemin));

    if (!fenetres || fenetres->signaler_coupees) signaler_coupees(tampon, journal);

    const long long num_ligne_donnee = lire_entier(description.Edit_num_ligne_donnee).value_or(0);
    // A clipboard too short for the data lines is most likely a copy gone wrong.
    if (mode == ModeEntree::presse_papier && !tabulation &&
        tampon.nb_lignes() < num_ligne_donnee + 2) {
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
    for (int i = 0; i < 21 && i < tampon.nb_lignes(); ++i)
        apercu.push_back(reparer_accents(tampon.ligne(i)));
    return apercu;
}

std::vector<std::string> note_apercu() {
    return {"=================================================",
            fr("cet affichage n'est qu'une partie du fichier..."),
            "    double click pour affichage complet"};
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
    // A piece at a time: the clipboard's copy may be hundreds of Mo.
    std::ifstream entree(chemin_natif(source), std::ios::binary);
    const auto impossible = [&] {
        return ErreurFichier(fr("Impossible de lire ") + std::string(source));
    };
    if (!entree) throw impossible();
    std::vector<char> morceau(std::size_t{1} << 20);
    bool vide = true;
    ecrire_fichier_atomique(destination, [&](const EcrireMorceau& ecrire) {
        while (entree) {
            entree.read(morceau.data(), static_cast<std::streamsize>(morceau.size()));
            const auto n = static_cast<std::size_t>(entree.gcount());
            if (n == 0) break;
            vide = false;
            std::replace(morceau.begin(), morceau.begin() + static_cast<std::ptrdiff_t>(n), a, b);
            ecrire(std::string_view(morceau.data(), n));
        }
        if (entree.bad()) throw impossible();
    });
    if (vide)
        journal.ajouter_probleme(ProblemeSuivi::fichier_vide,
                                 fr("fichier VIDE => ") + std::string(source));
    return !vide;
}

}  // namespace tarvo
