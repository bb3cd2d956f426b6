#include "engine/lecture_blocs.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/texte.h"
#include "inventory/octets_fichier.h"

namespace tarvo {

namespace {

// Where the bytes stop being whole lines: after the last line end, except that a CR in the
// last byte may be the first half of a CR LF still to be read. The bytes before `depuis` are
// known to hold no line end (0 when there is none).
std::size_t fin_des_lignes(const char* p, std::size_t n, std::size_t depuis) {
    std::size_t i = n;
    if (i > 0 && p[i - 1] == '\r') --i;
    while (i > depuis && p[i - 1] != '\n' && p[i - 1] != '\r') --i;
    return i > depuis ? i : 0;
}

// Where a UTF-8 sequence cut by the end of a read starts, so that it waits for its last bytes.
std::size_t coupure_utf8(const char* p, std::size_t n) {
    for (std::size_t recul = 1; recul <= 3 && recul <= n; ++recul) {
        const auto o = static_cast<unsigned char>(p[n - recul]);
        if ((o & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t longueur = (o & 0xE0) == 0xC0   ? 2
                                     : (o & 0xF0) == 0xE0 ? 3
                                     : (o & 0xF8) == 0xF0 ? 4
                                                          : 1;
        return longueur > recul ? n - recul : n;
    }
    return n;
}

#if defined(__SSE2__)
// The line ends (LF or CR) among the 16 bytes at p, one bit each.
unsigned fins_parmi_16(const char* p) {
    const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bloc, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(bloc, _mm_set1_epi8('\r')))));
}
#endif

// Where the bytes stop after their first `max_fins` CR or LF bytes (n when they hold fewer),
// a CR LF never split.
std::size_t apres_fins(const char* p, std::size_t n, std::size_t max_fins) {
    std::size_t vues = 0;
    std::size_t i = 0;
    const auto couper = [&](std::size_t fin) {
        if (p[fin] == '\r' && fin + 1 < n && p[fin + 1] == '\n') ++fin;
        return fin + 1;
    };
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        auto masque = fins_parmi_16(p + i);
        const auto nb = static_cast<std::size_t>(std::popcount(masque));
        if (vues + nb < max_fins) {
            vues += nb;
            continue;
        }
        for (; vues + 1 < max_fins; ++vues) masque &= masque - 1;
        return couper(i + static_cast<std::size_t>(std::countr_zero(masque)));
    }
#endif
    for (; i < n; ++i)
        if ((p[i] == '\n' || p[i] == '\r') && ++vues >= max_fins) return couper(i);
    return n;
}

}  // namespace

void BlocLignes::reserver(std::size_t capacite) {
    if (capacite <= capacite_) return;
    // A line that spans many reads grows its block by halves, not by a read each time.
    if (taille_ > 0) capacite = std::max(capacite, capacite_ + capacite_ / 2);
    auto nouveaux = std::make_unique_for_overwrite<char[]>(capacite);
    if (taille_ > 0) std::memcpy(nouveaux.get(), octets_.get(), taille_);
    octets_ = std::move(nouveaux);
    capacite_ = capacite;
}

std::string_view BlocLignes::ligne(int i) const {
    const std::size_t debut = debuts_[static_cast<std::size_t>(i)];
    std::size_t fin = debuts_[static_cast<std::size_t>(i) + 1];
    const char* p = octets_.get();
    if (fin > debut && p[fin - 1] == '\n') --fin;
    if (fin > debut && p[fin - 1] == '\r') --fin;
    return {p + debut, fin - debut};
}

void BlocLignes::decouper(bool tabulation, char nul_par) {
    char* p = octets_.get();
    const std::size_t n = taille_;
    const Comptes comptes = compter(p, n, tabulation);
    if (comptes.nul && nul_par != 0) remplacer_nul(p, n, nul_par);
    nul_ou_1 = comptes.nul || std::memchr(p, 1, n) != nullptr;
    debuts_.clear();
    debuts_.reserve(comptes.lf + comptes.cr + 2);
    debuts_.push_back(0);
    // A line ends after an LF, or after a CR that no LF follows.
    const auto fin_apres = [&](std::size_t i) {
        if (p[i] == '\n' || i + 1 >= n || p[i + 1] != '\n')
            debuts_.push_back(static_cast<std::uint32_t>(i + 1));
    };
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        auto masque = fins_parmi_16(p + i);
        for (; masque != 0; masque &= masque - 1)
            fin_apres(i + static_cast<std::size_t>(std::countr_zero(masque)));
    }
#endif
    for (; i < n; ++i)
        if (p[i] == '\n' || p[i] == '\r') fin_apres(i);
    if (debuts_.back() != n) debuts_.push_back(static_cast<std::uint32_t>(n));
    // A block larger than the longest line may hold one whole: it is cut alike, so that the
    // block size never changes what is read.
    ligne_trop_longue = false;
    if (n > ligne_max_octets)
        for (int l = 0; l < nb_lignes() && !ligne_trop_longue; ++l)
            ligne_trop_longue = ligne(l).size() > ligne_max_octets;
}

LecteurBlocs::LecteurBlocs(int descripteur, long long taille, std::string_view chemin,
                           std::size_t taille_bloc, std::size_t max_fins)
    : fd_(descripteur),
      reste_(std::max(0LL, taille)),
      chemin_(chemin),
      taille_bloc_(std::max<std::size_t>(taille_bloc, 16)),
      max_fins_(std::max<std::size_t>(max_fins, 1)) {}

// Reads at most `place` bytes of the file, transcoded, into `destination`.
std::size_t LecteurBlocs::lire_morceau(char* destination, std::size_t place) {
    // Transcoding never makes a text longer, and the carried bytes of a character come first.
    const std::size_t voulu =
        std::min<std::size_t>(place - report_brut_.size(), static_cast<std::size_t>(reste_));
    char* cible = destination;
    if (codage_ != Codage::brut) {
        brut_.resize(report_brut_.size() + voulu);
        std::copy(report_brut_.begin(), report_brut_.end(), brut_.begin());
        cible = brut_.data() + report_brut_.size();
    }
    std::size_t lu = 0;
    while (lu < voulu) {
        const std::size_t r = lire_octets(fd_, cible + lu, voulu - lu, chemin_);
        if (r == 0)
            throw ErreurFichier(fr("Le fichier ") + std::string(chemin_) +
                                fr(" a raccourci pendant sa lecture : il n'est pas traité"));
        lu += r;
    }
    reste_ -= static_cast<long long>(lu);
    fin_ = reste_ == 0;
    if (codage_ == Codage::inconnu) {
        // The mark is looked for in the first piece, which holds at least three bytes unless
        // the whole file is shorter.
        const char* b = brut_.data();
        const auto o = [&](std::size_t k) { return static_cast<unsigned char>(b[k]); };
        std::size_t marque = 0;
        if (lu >= 3 && o(0) == 0xEF && o(1) == 0xBB && o(2) == 0xBF) {
            codage_ = Codage::utf8, marque = 3;
        } else if (lu >= 2 && o(0) == 0xFF && o(1) == 0xFE) {
            codage_ = Codage::utf16_le, marque = 2;
        } else if (lu >= 2 && o(0) == 0xFE && o(1) == 0xFF) {
            codage_ = Codage::utf16_be, marque = 2;
        } else {
            codage_ = Codage::brut;
            // An empty file leaves the piece without storage: nothing to copy, and memcpy
            // must not be handed its null pointer.
            if (lu > 0) std::memcpy(destination, b, lu);
            return lu;
        }
        brut_.erase(brut_.begin(), brut_.begin() + static_cast<std::ptrdiff_t>(marque));
        lu -= marque;
    }
    if (codage_ == Codage::brut) return lu;
    return transcoder(destination, report_brut_.size() + lu);
}

std::size_t LecteurBlocs::transcoder(char* destination, std::size_t n) {
    const char* b = brut_.data();
    std::size_t utilise = n;
    std::size_t ecrit = 0;
    if (codage_ == Codage::utf8) {
        utilise = fin_ ? n : coupure_utf8(b, n);
        const std::string texte = utf8_vers_cp1252(std::string_view(b, utilise));
        std::copy(texte.begin(), texte.end(), destination);
        ecrit = texte.size();
    } else {
        ecrit =
            utf16_suite_vers_cp1252(b, n, codage_ == Codage::utf16_be, fin_, destination, utilise);
    }
    report_brut_.assign(b + utilise, b + n);
    return ecrit;
}

bool LecteurBlocs::suivant(BlocLignes& bloc) {
    bloc.trop_longue = false;
    bloc.taille_ = 0;
    bloc.reserver(std::max(report_.size(), std::size_t{16}) + taille_bloc_);
    std::copy(report_.begin(), report_.end(), bloc.octets_.get());
    bloc.taille_ = report_.size();
    report_.clear();
    // Lines left over by the bound on line ends are a block already: reading more would only
    // carry more over.
    bool lire = !report_de_lignes_;
    report_de_lignes_ = false;
    std::size_t sans_fin = 0;  // bytes of the block known to hold no line end
    for (;; lire = true) {
        if (!fin_ && lire) {
            // The first read of a file needs room for its byte-order mark to be seen.
            bloc.reserver(bloc.taille_ + taille_bloc_);
            bloc.taille_ += lire_morceau(bloc.octets_.get() + bloc.taille_, taille_bloc_);
        }
        char* p = bloc.octets_.get();
        std::size_t coupure = fin_ ? bloc.taille_ : fin_des_lignes(p, bloc.taille_, sans_fin);
        if (report_trop_long_) {
            // Past the end of that line, only its opening bytes are kept, as one line.
            const std::size_t debut = std::min(bloc.taille_, debut_ligne_longue);
            const char* fin = std::find_if(p + debut, p + bloc.taille_,
                                           [](char c) { return c == '\n' || c == '\r'; });
            if (fin == p + bloc.taille_ && !fin_) {
                bloc.taille_ = debut;
                continue;
            }
            if (fin + 1 == p + bloc.taille_ && *fin == '\r' && !fin_) {
                // Its CR may be the first half of a CR LF: kept to be looked at again.
                p[debut] = '\r';
                bloc.taille_ = debut + 1;
                continue;
            }
            std::size_t suite = static_cast<std::size_t>(fin - p);
            if (suite < bloc.taille_ && p[suite] == '\r') ++suite;
            if (suite < bloc.taille_ && p[suite] == '\n') ++suite;
            report_.assign(p + suite, p + bloc.taille_);
            bloc.taille_ = debut;
            bloc.trop_longue = true;
            report_trop_long_ = false;
            return true;
        }
        if (coupure > 0 || fin_) {
            if (const std::size_t c = apres_fins(p, coupure, max_fins_); c < coupure) {
                coupure = c;
                report_de_lignes_ = true;
            }
            report_.assign(p + coupure, p + bloc.taille_);
            bloc.taille_ = coupure;
            return coupure > 0;
        }
        sans_fin =
            bloc.taille_ > 0 && p[bloc.taille_ - 1] == '\r' ? bloc.taille_ - 1 : bloc.taille_;
        if (bloc.taille_ > ligne_max_octets) report_trop_long_ = true;
    }
}

}  // namespace tarvo
