// A data file read in blocks of whole lines, so that a run never holds the whole file: the
// same bytes, encodings and line ends as the loader gives, a block at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "inventory/octets_fichier.h"

namespace tarvo {

// Whole lines of a file: their bytes as read (tabulations and NUL bytes not yet rewritten),
// then, once cut, the start of each line.
class BlocLignes {
public:
    std::string_view octets() const { return {octets_.get(), taille_}; }
    char* donnees() { return octets_.get(); }
    std::size_t taille() const { return taille_; }

    // The line ends found; tabulations become ";" and NUL bytes `nul_par` (kept when 0).
    void decouper(bool tabulation, char nul_par);
    int nb_lignes() const { return debuts_.empty() ? 0 : static_cast<int>(debuts_.size()) - 1; }
    // Line i of the block without its end.
    std::string_view ligne(int i) const;
    // The block holds one line longer than ligne_max_octets, cut to its opening bytes.
    bool trop_longue = false;
    // Among the block's lines, one is longer than ligne_max_octets.
    bool ligne_trop_longue = false;
    bool decoupe = false;
    // A NUL byte or byte 1 lies somewhere in the block: only then can a line be unreadable
    // for it.
    bool nul_ou_1 = false;
    // Lines before this one precede the data and are not analysed.
    int premiere_analysee = 0;

private:
    friend class LecteurBlocs;
    void reserver(std::size_t capacite);
    std::unique_ptr<char[]> octets_;
    std::size_t capacite_ = 0;
    std::size_t taille_ = 0;
    std::vector<std::uint32_t> debuts_;
};

// Reads an open file from its start up to the size it had when opened: a byte-order mark
// turns UTF-8 or UTF-16 into Windows-1252 (a character split between two reads included),
// and each block ends at a line end, the rest carried over to the next block. A block holds
// at most `max_fins` line-end bytes (a CR LF counts two), so that what is kept per line of a
// block stays within a block's size however short the lines. Throws ErreurFichier on a read
// error or when the file gets shorter while it is read.
class LecteurBlocs {
public:
    LecteurBlocs(int descripteur, long long taille, std::string_view chemin,
                 std::size_t taille_bloc, std::size_t max_fins = SIZE_MAX);
    LecteurBlocs(const LecteurBlocs&) = delete;
    LecteurBlocs& operator=(const LecteurBlocs&) = delete;

    // The next lines into `bloc`; false when the file is done.
    bool suivant(BlocLignes& bloc);

private:
    std::size_t lire_morceau(char* destination, std::size_t place);
    std::size_t transcoder(char* destination, std::size_t n);

    int fd_;
    long long reste_;  // bytes of the file still to read
    std::string_view chemin_;
    std::size_t taille_bloc_;
    std::size_t max_fins_;
    enum class Codage { inconnu, brut, utf8, utf16_le, utf16_be } codage_ = Codage::inconnu;
    std::vector<char> brut_;         // a piece as read, before its transcoding
    std::vector<char> report_brut_;  // bytes of a character split between two reads
    std::vector<char> report_;       // the start of a line that the last block did not end
    bool report_trop_long_ = false;  // that line is already past ligne_max_octets
    bool report_de_lignes_ = false;  // it holds whole lines: the next block needs no read
    bool fin_ = false;
};

}  // namespace tarvo
