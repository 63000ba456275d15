#pragma once
// A platform for tests: answers questions from a script, chooses files from a list,
// and records everything that was shown.
#include "app/plateforme.h"

#include <QDialog>
#include <QStringList>
#include <deque>

class PlateformeScriptee : public Plateforme
{
public:
    struct Message {
        TypeMessage type;
        QString texte;
        Boutons boutons;
    };
    std::vector<Message> messages;
    std::deque<Reponse> reponses;            // answers to Yes/No questions, in order
    Reponse reponseParDefaut = Reponse::Oui; // when the script runs out
    // Files chosen in the open dialog; each entry may list files "selected" before the
    // final choice (previewed), the last one is returned. Empty last = cancel.
    std::deque<QStringList> fichiersOuverts;
    std::deque<QString> fichiersEnregistres;
    // The filter the user picks in each save dialog, in order; the dialog's initial one when
    // the script runs out.
    std::deque<int> filtresChoisis;
    std::vector<DialogueFichier> dialoguesFichiers; // every file dialog shown, in order
    std::deque<std::optional<QColor>> couleurs;
    // Called with the dialog shown modally; returns its result (Accepted by default).
    std::function<int(QDialog *)> surModal;
    bool reponseImprimante = true;
    std::vector<std::pair<QString, int>> aides;
    std::vector<QStringList> lancements;
    bool resultatLancement = true;
    int bips = 0;
    int attentes = 0;

    Reponse message(TypeMessage type, const QString &texte, Boutons boutons) override
    {
        messages.push_back({type, texte, boutons});
        if (boutons == Boutons::Ok) return Reponse::Ok;
        if (reponses.empty()) return reponseParDefaut;
        Reponse r = reponses.front();
        reponses.pop_front();
        return r;
    }
    QString fichierAOuvrir(const DialogueFichier &d,
                           std::function<void(const QString &)> surSelection) override
    {
        dialoguesFichiers.push_back(d);
        if (fichiersOuverts.empty()) return {};
        QStringList l = fichiersOuverts.front();
        fichiersOuverts.pop_front();
        if (surSelection)
            for (const QString &f : l)
                if (!f.isEmpty()) surSelection(f);
        return l.isEmpty() ? QString() : l.last();
    }
    QString fichierAEnregistrer(const DialogueFichier &d, int *filtreChoisi) override
    {
        dialoguesFichiers.push_back(d);
        int filtre = d.filtreInitial;
        if (!filtresChoisis.empty()) {
            filtre = filtresChoisis.front();
            filtresChoisis.pop_front();
        }
        if (filtreChoisi) *filtreChoisi = filtre;
        if (fichiersEnregistres.empty()) return {};
        QString f = fichiersEnregistres.front();
        fichiersEnregistres.pop_front();
        return f;
    }
    std::optional<QColor> couleur(const QColor &, bool) override
    {
        if (couleurs.empty()) return std::nullopt;
        auto c = couleurs.front();
        couleurs.pop_front();
        return c;
    }
    int montrerModal(QDialog *d) override
    {
        if (surModal) return surModal(d);
        return QDialog::Accepted;
    }
    bool configurerImprimante(QPrinter *) override { return reponseImprimante; }
    void aide(const QString &f, int c) override { aides.emplace_back(f, c); }
    bool lancer(const QString &p, const QString &a, const QString &r) override
    {
        lancements.push_back({p, a, r});
        return resultatLancement;
    }
    void bip() override { ++bips; }
    void patienter(int) override { ++attentes; }
    // Progress reports of long tasks; the task is cancelled at report number annulerAuRapport.
    int rapports = 0;
    int annulerAuRapport = -1;
    bool progression(const QString &, double fraction) override
    {
        if (fraction < 0) return true;
        ++rapports;
        return annulerAuRapport < 0 || rapports < annulerAuRapport;
    }

    // Progress bars shown (text, total) and the steps they were told; Cancel is pressed
    // once a bar has been told annulerApres steps (never when negative).
    struct Barre {
        QString texte;
        int total;
        std::vector<int> etapes;
    };
    std::vector<Barre> barres;
    int annulerApres = -1;
    class ProgressionScriptee : public Progression
    {
    public:
        ProgressionScriptee(PlateformeScriptee &p, size_t i) : p_(p), i_(i) {}
        bool avancer(int fait) override
        {
            auto &etapes = p_.barres[i_].etapes;
            etapes.push_back(fait);
            return p_.annulerApres < 0 || int(etapes.size()) < p_.annulerApres;
        }

    private:
        PlateformeScriptee &p_;
        size_t i_;
    };
    std::unique_ptr<Progression> barreProgression(const QString &texte, int total) override
    {
        barres.push_back({texte, total, {}});
        return std::make_unique<ProgressionScriptee>(*this, barres.size() - 1);
    }

    int nombreMessages(TypeMessage t) const
    {
        int n = 0;
        for (const auto &m : messages)
            n += m.type == t;
        return n;
    }
};
