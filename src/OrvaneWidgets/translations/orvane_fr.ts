<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Orvane::MainWindow</name>
    <message>
        <source>A tool is still working: the window stays open.</source>
        <translation>Un outil travaille encore : la fenêtre reste ouverte.</translation>
    </message>
    <message>
        <source>IFC files (*.ifc);;All files (*)</source>
        <translation>Fichiers IFC (*.ifc);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Outils</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Ouvrir...</translation>
    </message>
    <message>
        <source>Recent files</source>
        <translation>Fichiers récents</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Enregistrer &amp;sous...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>Ou&amp;tils</translation>
    </message>
    <message>
        <source>&amp;Settings...</source>
        <translation>&amp;Paramètres...</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Aid&amp;e</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>&amp;Plug-ins...</source>
        <translation>&amp;Modules...</translation>
    </message>
    <message>
        <source>Open IFC files</source>
        <translation>Ouvrir des fichiers IFC</translation>
    </message>
    <message>
        <source>%1[*] - Orvane</source>
        <translation>%1[*] - Orvane</translation>
    </message>
    <message>
        <source>Orvane</source>
        <translation>Orvane</translation>
    </message>
    <message>
        <source>No model is open.
Open an IFC 2x3 file with File &gt; Open... (%1) or drop it here.</source>
        <translation>Aucune maquette n&apos;est ouverte.
Ouvrez un fichier IFC 2x3 par Fichier &gt; Ouvrir... (%1) ou déposez-le ici.</translation>
    </message>
    <message>
        <source>Save the model as</source>
        <translation>Enregistrer le modèle sous</translation>
    </message>
    <message>
        <source>Cannot save the model</source>
        <translation>Impossible d&apos;enregistrer le modèle</translation>
    </message>
    <message>
        <source>%1 cannot be written:
%2</source>
        <translation>%1 ne peut pas être écrit :
%2</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 enregistré</translation>
    </message>
    <message>
        <source>Unsaved results</source>
        <translation>Résultats non enregistrés</translation>
    </message>
    <message>
        <source>%1 holds changes that are not saved. Save them?</source>
        <translation>%1 contient des modifications non enregistrées. Les enregistrer ?</translation>
    </message>
    <message>
        <source>Operation running</source>
        <translation>Opération en cours</translation>
    </message>
    <message>
        <source>%1 cannot be closed while an operation is rewriting it. Wait for it to end or cancel it.</source>
        <translation>%1 ne peut pas être fermé pendant qu&apos;une opération le réécrit. Attendez sa fin ou annulez-la.</translation>
    </message>
    <message>
        <source>%1 cannot be saved, closed or reloaded while an operation is rewriting it: wait for the operation to end or cancel it.</source>
        <translation>%1 ne peut être ni enregistré, ni fermé, ni rechargé pendant qu&apos;une opération le réécrit : attendez la fin de l&apos;opération ou annulez-la.</translation>
    </message>
    <message>
        <source>%1 was not reloaded: an operation is rewriting it.</source>
        <translation>%1 n&apos;a pas été rechargé : une opération le réécrit.</translation>
    </message>
    <message>
        <source>Reloaded %1</source>
        <translation>%1 rechargé</translation>
    </message>
    <message>
        <source>File changed on disk</source>
        <translation>Fichier modifié sur le disque</translation>
    </message>
    <message>
        <source>%1 was replaced or changed by another program since it was opened. Saving over it loses that program&apos;s version.</source>
        <translation>%1 a été remplacé ou modifié par un autre programme depuis son ouverture. L&apos;écraser fait perdre la version de ce programme.</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Écraser</translation>
    </message>
    <message>
        <source>Save Elsewhere...</source>
        <translation>Enregistrer ailleurs...</translation>
    </message>
    <message>
        <source>%1 was changed on disk by another program. Reload it?</source>
        <translation>%1 a été modifié sur le disque par un autre programme. Le recharger ?</translation>
    </message>
    <message>
        <source>The changes made here and not saved will be lost.</source>
        <translation>Les modifications faites ici et non enregistrées seront perdues.</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Recharger</translation>
    </message>
    <message>
        <source>Keep This Version</source>
        <translation>Garder cette version</translation>
    </message>
    <message>
        <source>An operation is still running. Stop it and quit?</source>
        <translation>Une opération est encore en cours. L&apos;arrêter et quitter ?</translation>
    </message>
    <message>
        <source>About Orvane</source>
        <translation>À propos d&apos;Orvane</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Orvane&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Building models in IFC 2x3, with their material quantities.&lt;/p&gt;&lt;p&gt;Warnings and errors are written to %1.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Orvane&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Maquettes de bâtiments en IFC 2x3, avec leurs quantités de matière.&lt;/p&gt;&lt;p&gt;Les avertissements et les erreurs sont écrits dans %1.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Édition</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rétablir</translation>
    </message>
    <message>
        <source>Saving %1</source>
        <translation>Enregistrement de %1</translation>
    </message>
    <message>
        <source>The window closes once the model is saved.</source>
        <translation>La fenêtre se fermera une fois le modèle enregistré.</translation>
    </message>
</context>
<context>
    <name>Orvane::FileWrittenNotice</name>
    <message>
        <source>Open folder</source>
        <translation>Ouvrir le dossier</translation>
    </message>
</context>
<context>
    <name>Orvane::ModelJob</name>
    <message>
        <source>An operation is rewriting the model.</source>
        <translation>Une opération réécrit le modèle.</translation>
    </message>
</context>
<context>
    <name>Orvane::ModelOpener</name>
    <message>
        <source>Opening %1</source>
        <translation>Ouverture de %1</translation>
    </message>
</context>
<context>
    <name>Orvane::OpenFailureReport</name>
    <message>
        <source>Cannot open the file</source>
        <translation>Impossible d&apos;ouvrir le fichier</translation>
    </message>
    <message>
        <source>Cannot open the files</source>
        <translation>Impossible d&apos;ouvrir les fichiers</translation>
    </message>
    <message>
        <source>%1 cannot be opened:
%2</source>
        <translation>%1 ne peut pas être ouvert :
%2</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) cannot be opened:</source>
        <translation>
            <numerusform>%n fichier ne peut pas être ouvert :</numerusform>
            <numerusform>%n fichiers ne peuvent pas être ouverts :</numerusform>
        </translation>
    </message>
    <message>
        <source>%1:
%2</source>
        <translation>%1 :
%2</translation>
    </message>
</context>
<context>
    <name>Orvane::PluginItem</name>
    <message>
        <source>The library cannot be loaded: %1</source>
        <translation>La bibliothèque ne peut pas être chargée : %1</translation>
    </message>
    <message>
        <source>The library is not a plug-in of this application.</source>
        <translation>La bibliothèque n&apos;est pas un module de cette application.</translation>
    </message>
</context>
<context>
    <name>Orvane::PluginManager</name>
    <message>
        <source>The library carries no plug-in metadata.</source>
        <translation>La bibliothèque ne porte pas de métadonnées de module.</translation>
    </message>
    <message>
        <source>The plug-in metadata lacks its &quot;Id&quot;, &quot;Name&quot; or &quot;Type&quot;.</source>
        <translation>Il manque « Id », « Name » ou « Type » aux métadonnées du module.</translation>
    </message>
    <message>
        <source>The plug-in type &quot;%1&quot; is not supported.</source>
        <translation>Le type de module « %1 » n&apos;est pas pris en charge.</translation>
    </message>
    <message>
        <source>Another plug-in has the same identifier &quot;%1&quot;.</source>
        <translation>Un autre module a le même identifiant « %1 ».</translation>
    </message>
    <message>
        <source>The plug-in needs &quot;%1&quot;, which is missing.</source>
        <translation>Le module a besoin de « %1 », qui est absent.</translation>
    </message>
    <message>
        <source>The plug-in is not a tool.</source>
        <translation>Le module n&apos;est pas un outil.</translation>
    </message>
</context>
<context>
    <name>Orvane::PluginsDialog</name>
    <message>
        <source>Loaded (%1)</source>
        <translation>Chargé (%1)</translation>
    </message>
    <message>
        <source>Not loaded (%1)</source>
        <translation>Non chargé (%1)</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Erreur : %1</translation>
    </message>
    <message>
        <source>Plug-ins</source>
        <translation>Modules</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Changes take effect at the next start.</source>
        <translation>Les changements prennent effet au prochain démarrage.</translation>
    </message>
</context>
<context>
    <name>Orvane::SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
</context>
<context>
    <name>Orvane::StatusBarProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>Orvane::_ifc2x3::IFC2x3Model</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Entity</source>
        <translation>Entité</translation>
    </message>
    <message>
        <source>GlobalId</source>
        <translation>GlobalId</translation>
    </message>
</context>
</TS>
