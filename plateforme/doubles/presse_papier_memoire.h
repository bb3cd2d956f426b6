// A clipboard held in memory, for tests.
#pragma once

#include <string>
#include <string_view>

#include "plateforme/presse_papier.h"

namespace tarvo {

class PressePapierMemoire final : public PressePapier {
public:
    std::string lire_texte() override { return contenu; }
    void ecrire_texte(std::string_view texte) override { contenu = texte; }

    std::string contenu;
};

}  // namespace tarvo
