#include "ui/cadres_zones.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <array>
#include <vector>

#include "ui/controles.h"

namespace tarvo {

namespace {

constexpr int epaisseur = 6;
const QColor orange(255, 91, 13);
const QColor bleu(0, 0, 255);

QLabel* legende(const QString& nom, const QString& texte, const QColor& couleur, QWidget* parent) {
    auto* l = nomme<QLabel>(nom, texte, parent);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("QLabel { background: rgb(255, 255, 0); color: %1;"
                                    " border: 3px outset rgb(200, 200, 0); padding: 5px;"
                                    " font-weight: bold; font-size: 12pt; }")
                         .arg(couleur.name()));
    l->ensurePolished();
    // Ten pixels a character, as wide as the caption reads at this size.
    l->resize(10 * static_cast<int>(texte.size()) + 2 * (3 + 5), l->sizeHint().height());
    return l;
}

// The frames live above the scrolled zones, beside the floating tracking log, so that "?+"
// shows them in front of it too; "?-" puts the horizontal bars among the zones, under them.
class CadresZones : public QObject {
public:
    CadresZones(QWidget* fenetre, QAbstractScrollArea* defilement, QWidget* contenu)
        : QObject(fenetre),
          fenetre_(fenetre),
          defilement_(defilement),
          contenu_(contenu),
          test_(exiger<QWidget>(contenu, "GroupBox_actuel_ou_passee")) {
        for (int z = 1; z <= 5; ++z)
            zones_.push_back(exiger<QGroupBox>(contenu, QStringLiteral("zone%1").arg(z)));
    }

    void basculer(bool avec_legendes) {
        if (visibles_) {
            cacher();
            return;
        }
        if (barres_.empty()) creer();
        visibles_ = true;
        for (std::size_t k = 0; k < barres_.size(); ++k) {
            const bool horizontale = k % 4 < 2;
            QWidget* parent = horizontale && !avec_legendes ? contenu_ : defilement_;
            if (barres_[k]->parentWidget() != parent) barres_[k]->setParent(parent);
        }
        placer();
        for (QWidget* b : barres_) {
            b->show();
            if (b->parentWidget() == contenu_)
                b->lower();
            else
                b->raise();
        }
        for (QWidget* l : legendes_) {
            l->setVisible(avec_legendes);
            l->raise();
        }
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (!visibles_) return false;
        if (evenement->type() == QEvent::KeyRelease) {
            auto* w = qobject_cast<QWidget*>(objet);
            if (!w || w->window() != fenetre_) return false;
            cacher();
            return true;
        }
        // Escape, which the window acts on when pressed, only hides the frames at its release.
        if (evenement->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(evenement)->key() == Qt::Key_Escape) {
            auto* w = qobject_cast<QWidget*>(objet);
            return w && w->window() == fenetre_;
        }
        // Scrolling moves the zones' container; a new layout moves the zones.
        if ((evenement->type() == QEvent::Resize || evenement->type() == QEvent::Move) &&
            (objet == contenu_ || std::find(zones_.begin(), zones_.end(), objet) != zones_.end()))
            placer();
        return false;
    }

private:
    void cacher() {
        visibles_ = false;
        for (QWidget* b : barres_) b->hide();
        for (QWidget* l : legendes_) l->hide();
        qApp->removeEventFilter(this);
    }

    void creer() {
        static constexpr std::array<const char*, 4> cotes{"haut", "bas", "gauche", "droite"};
        for (int z = 1; z <= 5; ++z) {
            const QGroupBox* zone = zones_[static_cast<std::size_t>(z - 1)];
            const QColor& couleur = z % 2 == 1 ? orange : bleu;
            for (const char* cote : cotes) {
                auto* barre = nomme<QWidget>(
                    QStringLiteral("cadre%1_%2").arg(z).arg(QLatin1String(cote)), defilement_);
                barre->setAutoFillBackground(true);
                QPalette p = barre->palette();
                p.setColor(QPalette::Window, couleur);
                barre->setPalette(p);
                barres_.push_back(barre);
            }
            legendes_.push_back(legende(QStringLiteral("legende_cadre%1").arg(z), zone->title(),
                                        couleur, defilement_));
        }
        legendes_.push_back(legende(QStringLiteral("legende_saisie_manuelle"),
                                    QStringLiteral("saisie manuelle ci-dessus"), Qt::red,
                                    defilement_));
    }

    // `r` in the zones' container; over the scroll area, only its visible part is drawn.
    void poser(QWidget* w, QRect r) const {
        r.translate(contenu_->mapTo(w->parentWidget(), QPoint(0, 0)));
        if (w->parentWidget() == defilement_) r &= defilement_->viewport()->geometry();
        w->setGeometry(r);
    }

    void poser_au_centre(QWidget* l, const QPoint& centre) const {
        const QPoint c = centre + contenu_->mapTo(defilement_, QPoint(0, 0));
        l->move(c - l->rect().center());
    }

    void placer() {
        for (std::size_t z = 0; z < zones_.size(); ++z) {
            QRect r(zones_[z]->mapTo(contenu_, QPoint(0, 0)), zones_[z]->size());
            // Below the zone's title, which stays readable above its frame.
            r.setTop(r.top() + zones_[z]->fontMetrics().height());
            const std::array<QRect, 4> cotes{
                QRect(r.left(), r.top(), r.width(), epaisseur),
                QRect(r.left(), r.bottom() - epaisseur + 1, r.width(), epaisseur),
                QRect(r.left(), r.top(), epaisseur, r.height()),
                QRect(r.right() - epaisseur + 1, r.top(), epaisseur, r.height())};
            for (std::size_t k = 0; k < 4; ++k) poser(barres_[4 * z + k], cotes[k]);
            poser_au_centre(legendes_[z], r.center());
        }
        // Above the date test, the part of the period that is typed rather than taken.
        const QPoint coin = test_->mapTo(contenu_, QPoint(0, 0));
        QWidget* l = legendes_.back();
        poser_au_centre(l, QPoint(coin.x() + test_->width() / 2, coin.y() - l->height() / 2 - 2));
    }

    QWidget* fenetre_;
    QAbstractScrollArea* defilement_;
    QWidget* contenu_;
    const QWidget* test_;  // the date test, under which the period is typed by hand
    std::vector<QGroupBox*> zones_;
    std::vector<QWidget*> barres_;
    std::vector<QWidget*> legendes_;
    bool visibles_ = false;
};

}  // namespace

void connecter_cadres(const ContexteCommandes& contexte) {
    auto* zone1 = exiger<QGroupBox>(contexte.fenetre, QStringLiteral("zone1"));
    auto* defilement = exiger<QAbstractScrollArea>(contexte.fenetre, QStringLiteral("defilement"));
    QWidget* contenu = zone1->parentWidget();
    auto* cadres = new CadresZones(contexte.fenetre, defilement, contenu);
    for (const auto& [nom, avec_legendes] :
         {std::pair{"SpeedButton_help2", true}, std::pair{"SpeedButton_help3", false}})
        connecter_clic(contexte.fenetre, QLatin1String(nom), cadres,
                       [cadres, avec = avec_legendes] { cadres->basculer(avec); });
}

}  // namespace tarvo
