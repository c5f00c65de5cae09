<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Orvane::MaterialQuantitiesDockWidget</name>
    <message>
        <source>Results</source>
        <translation>Résultats</translation>
    </message>
    <message>
        <source>Type inputs</source>
        <translation>Données des types</translation>
    </message>
    <message>
        <source>Fill in the inputs of the types</source>
        <translation>Compléter les données des types</translation>
    </message>
    <message>
        <source>Material quantities</source>
        <translation>Quantités matière</translation>
    </message>
    <message>
        <source>Compute material quantities</source>
        <translation>Calculer les quantités de matière</translation>
    </message>
    <message>
        <source>Detailed quantities:</source>
        <translation>Quantités détaillées :</translation>
    </message>
    <message>
        <source>Verification mode</source>
        <translation>Mode vérification</translation>
    </message>
    <message>
        <source>Total quantities:</source>
        <translation>Quantités totales :</translation>
    </message>
    <message>
        <source>Export PMD from project</source>
        <translation>Exporter le PMD du projet</translation>
    </message>
    <message>
        <source>Export results by components</source>
        <translation>Exporter les résultats par composant</translation>
    </message>
    <message>
        <source>Export inventory…</source>
        <translation>Exporter l&apos;inventaire…</translation>
    </message>
    <message>
        <source>Show chart</source>
        <translation>Afficher le graphique</translation>
    </message>
    <message>
        <source>Logarithmic scale</source>
        <translation>Échelle logarithmique</translation>
    </message>
    <message>
        <source>Shows the light materials beside the heavy ones, the two masses of each side by side</source>
        <translation>Montre les matériaux légers à côté des lourds, les deux masses de chacun côte à côte</translation>
    </message>
    <message>
        <source>Open an IFC 2x3 model, then compute its material quantities to export them.</source>
        <translation>Ouvrez un modèle IFC 2x3, puis calculez ses quantités de matériaux pour les exporter.</translation>
    </message>
    <message>
        <source>The model is being computed, saved or exported: export once that ends.</source>
        <translation>Le modèle est en cours de calcul, d&apos;enregistrement ou d&apos;export : exportez une fois l&apos;opération terminée.</translation>
    </message>
    <message>
        <source>The material quantities of the model are being read: export once they show.</source>
        <translation>Les quantités de matériaux du modèle sont en cours de lecture : exportez une fois qu&apos;elles sont affichées.</translation>
    </message>
    <message>
        <source>Reading the material quantities of the model...</source>
        <translation>Lecture des quantités de matériaux du modèle...</translation>
    </message>
    <message>
        <source>The material quantities show once the operation on the model ends.</source>
        <translation>Les quantités de matériaux s&apos;afficheront une fois l&apos;opération sur le modèle terminée.</translation>
    </message>
    <message>
        <source>Reading material quantities</source>
        <translation>Lecture des quantités de matériaux</translation>
    </message>
    <message>
        <source>The model holds no material quantities yet: compute them first.</source>
        <translation>Le modèle ne contient pas encore de quantités de matériaux : calculez-les d&apos;abord.</translation>
    </message>
    <message>
        <source>Exporting %1</source>
        <translation>Export de %1</translation>
    </message>
    <message>
        <source>%1 could not be written.</source>
        <translation>%1 n&apos;a pas pu être écrit.</translation>
    </message>
    <message>
        <source>Exported %1</source>
        <translation>%1 exporté</translation>
    </message>
    <message>
        <source>Material quantities is only available for IFC 2x3 models. Current model is a %1 model.</source>
        <translation>Les quantités de matière ne sont disponibles que pour les modèles IFC 2x3. Le modèle actif est un modèle %1.</translation>
    </message>
    <message>
        <source>Material quantities computing is running.</source>
        <translation>Le calcul des quantités de matière est en cours.</translation>
    </message>
    <message>
        <source>No material quantities information on current model.</source>
        <translation>Le modèle actif ne porte aucune information de quantités de matière.</translation>
    </message>
    <message>
        <source>%1 building element has no material quantity</source>
        <translation>%1 élément de construction n&apos;a pas de quantité de matière</translation>
    </message>
    <message>
        <source>%1 building elements have no material quantity</source>
        <translation>%1 éléments de construction n&apos;ont pas de quantité de matière</translation>
    </message>
    <message>
        <source>Computing material quantities...</source>
        <translation>Calcul des quantités de matière...</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Material quantities computation fails. Look at the following points :&lt;/p&gt;&lt;ul&gt;&lt;li&gt;functional unit (volume, area, length) property exists [%1] &lt;/li&gt;&lt;li&gt;mass per functional property exists [%2]&lt;/li&gt;&lt;li&gt;base quantity linked to the functional unit exists&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Property paths could be changed in &lt;span style=&quot; font-weight:600;&quot;&gt;Settings/Material quantities&lt;/span&gt; menu.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Le calcul des quantités de matière a échoué. Vérifiez les points suivants :&lt;/p&gt;&lt;ul&gt;&lt;li&gt;la propriété d&apos;unité fonctionnelle (volume, surface, longueur) existe [%1] &lt;/li&gt;&lt;li&gt;la propriété de masse par unité fonctionnelle existe [%2]&lt;/li&gt;&lt;li&gt;la quantité de base liée à l&apos;unité fonctionnelle existe&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Les chemins des propriétés se modifient dans le menu &lt;span style=&quot; font-weight:600;&quot;&gt;Paramètres/Quantités matière&lt;/span&gt;.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Material quantities computation was cancelled.</source>
        <translation>Le calcul des quantités de matière a été annulé.</translation>
    </message>
    <message>
        <source>Show all elements</source>
        <translation>Afficher tous les éléments</translation>
    </message>
    <message>
        <source>In this application the property paths are under Tools &gt; Settings... &gt; Material quantities. The model was left as it was before the computation.</source>
        <translation>Dans cette application, les chemins des propriétés se trouvent sous Outils &gt; Paramètres... &gt; Quantités matière. Le modèle est resté tel qu’il était avant le calcul.</translation>
    </message>
    <message>
        <source>%1 [%2]: found on %3 of %4 building elements</source>
        <translation>%1 [%2] : trouvé sur %3 des %4 éléments de construction</translation>
    </message>
    <message>
        <source>Functional unit</source>
        <translation>Unité fonctionnelle</translation>
    </message>
    <message>
        <source>Mass per functional unit</source>
        <translation>Masse par unité fonctionnelle</translation>
    </message>
    <message>
        <source>Material composition</source>
        <translation>Composition matière</translation>
    </message>
    <message>
        <source>Base quantity of the functional unit</source>
        <translation>Quantité de base de l’unité fonctionnelle</translation>
    </message>
    <message>
        <source>Excel output file</source>
        <translation>Fichier Excel de sortie</translation>
    </message>
    <message>
        <source>Excel files (*.xlsx)</source>
        <translation>Fichiers Excel (*.xlsx)</translation>
    </message>
    <message>
        <source>Total quantities</source>
        <translation>Total quantities</translation>
    </message>
    <message>
        <source>Details quantities</source>
        <translation>Details quantities</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialQuantitiesChartView</name>
    <message>
        <source>Mass (%1)</source>
        <translation>Masse (%1)</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialQuantitiesProxyModel</name>
    <message>
        <source>Not found</source>
        <translation>Introuvable</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Quantity property path</source>
        <translation>Chemin de la propriété de quantité</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Raison</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialQuantitiesSettingsPage</name>
    <message>
        <source>Material quantities</source>
        <translation>Quantités matière</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialQuantitiesSettingsWidget</name>
    <message>
        <source>Material quantities</source>
        <translation>Quantités matière</translation>
    </message>
    <message>
        <source>Functional unity</source>
        <translation>Unité fonctionnelle</translation>
    </message>
    <message>
        <source>Enter a property path</source>
        <translation>Saisissez un chemin de propriété</translation>
    </message>
    <message>
        <source>Mass per functional unity</source>
        <translation>Masse par unité fonctionnelle</translation>
    </message>
    <message>
        <source>Material composition</source>
        <translation>Composition en matériaux</translation>
    </message>
    <message>
        <source>Reused materials </source>
        <translation>Matériaux réemployés </translation>
    </message>
    <message>
        <source>Quantities properties path</source>
        <translation>Chemins des propriétés de quantités</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Longueur</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Surface</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Pick…</source>
        <translation>Choisir…</translation>
    </message>
    <message>
        <source>Restore defaults</source>
        <translation>Rétablir les valeurs par défaut</translation>
    </message>
    <message>
        <source>Pick a property path from the selected element</source>
        <translation>Choisir un chemin de propriété dans l’élément sélectionné</translation>
    </message>
    <message>
        <source>Select an element in the model to pick a path from it</source>
        <translation>Sélectionnez un élément du modèle pour y choisir un chemin</translation>
    </message>
    <message>
        <source>Found on no building element of this model</source>
        <translation>Trouvé sur aucun élément de construction de ce modèle</translation>
    </message>
    <message>
        <source>Found on %1 of %2 building elements</source>
        <translation>Trouvé sur %1 des %2 éléments de construction</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialTotalQuantitiesModel</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>To recover</source>
        <translation>À valoriser</translation>
    </message>
    <message>
        <source>Reused</source>
        <translation>Réemployé</translation>
    </message>
</context>
<context>
    <name>Orvane::ModelComponentsExcelExport</name>
    <message>
        <source>No model to export</source>
        <translation>Aucun modèle à exporter</translation>
    </message>
    <message>
        <source>Invalid template properties files</source>
        <translation>Fichier de modèle de propriétés non valide</translation>
    </message>
    <message>
        <source>Invalid property %1 for object %2
</source>
        <translation>Propriété %1 non valide pour l&apos;objet %2
</translation>
    </message>
    <message>
        <source>Invalid property %1 for objects %2
</source>
        <translation>Propriété %1 non valide pour les objets %2
</translation>
    </message>
</context>
<context>
    <name>Orvane::PropertyPathPickerDialog</name>
    <message>
        <source>Pick a property path</source>
        <translation>Choisir un chemin de propriété</translation>
    </message>
    <message>
        <source>Path:</source>
        <translation>Chemin :</translation>
    </message>
    <message>
        <source>Properties of %1</source>
        <translation>Propriétés de %1</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valeur</translation>
    </message>
</context>
<context>
    <name>Orvane::QuantitiesDetailsSheet</name>
    <message>
        <source>Status</source>
        <translation>Statut</translation>
    </message>
    <message>
        <source>Without quantities</source>
        <translation>Sans quantités</translation>
    </message>
</context>
<context>
    <name>Orvane::QuantitiesPropPathListModel</name>
    <message>
        <source>+ New property path</source>
        <translation>+ Nouveau chemin de propriété</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialQuantitiesCalculator</name>
    <message>
        <source>No type</source>
        <translation>Sans type</translation>
    </message>
    <message>
        <source>The type has no functional unit</source>
        <translation>Le type n’a pas d’unité fonctionnelle</translation>
    </message>
    <message>
        <source>Functional unit not recognised: &quot;%1&quot;</source>
        <translation>Unité fonctionnelle non reconnue : « %1 »</translation>
    </message>
    <message>
        <source>No quantity at the functional unit&apos;s paths (%1)</source>
        <translation>Aucune quantité aux chemins de l’unité fonctionnelle (%1)</translation>
    </message>
    <message>
        <source>No mass per functional unit</source>
        <translation>Pas de masse par unité fonctionnelle</translation>
    </message>
    <message>
        <source>Mass per functional unit not a number: &quot;%1&quot;</source>
        <translation>La masse par unité fonctionnelle n’est pas un nombre : « %1 »</translation>
    </message>
    <message>
        <source>No material composition</source>
        <translation>Pas de composition matière</translation>
    </message>
    <message>
        <source>Material composition without any positive share</source>
        <translation>Composition matière sans aucune part positive</translation>
    </message>
    <message>
        <source>Not computed since its inputs were completed</source>
        <translation>Non calculé depuis que ses données ont été complétées</translation>
    </message>
    <message>
        <source>%1 without a type</source>
        <translation>%1 sans type</translation>
    </message>
    <message>
        <source>%1 without functional unit</source>
        <translation>%1 sans unité fonctionnelle</translation>
    </message>
    <message>
        <source>%1 with a functional unit not recognised</source>
        <translation>%1 avec une unité fonctionnelle non reconnue</translation>
    </message>
    <message>
        <source>%1 without quantity at the functional unit&apos;s paths</source>
        <translation>%1 sans quantité aux chemins de l’unité fonctionnelle</translation>
    </message>
    <message>
        <source>%1 without mass per functional unit</source>
        <translation>%1 sans masse par unité fonctionnelle</translation>
    </message>
    <message>
        <source>%1 with a mass per functional unit that is not a number</source>
        <translation>%1 avec une masse par unité fonctionnelle qui n’est pas un nombre</translation>
    </message>
    <message>
        <source>%1 without material composition</source>
        <translation>%1 sans composition matière</translation>
    </message>
    <message>
        <source>%1 with a composition without any positive share</source>
        <translation>%1 avec une composition sans aucune part positive</translation>
    </message>
    <message>
        <source>%1 not computed since their inputs were completed</source>
        <translation>%1 non calculés depuis que leurs données ont été complétées</translation>
    </message>
</context>
<context>
    <name>Orvane::TypeInputsColumns</name>
    <message>
        <source>Type inputs</source>
        <translation>Données des types</translation>
    </message>
    <message>
        <source>GlobalId</source>
        <translation>GlobalId</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Entity</source>
        <translation>Entité</translation>
    </message>
    <message>
        <source>Instances</source>
        <translation>Instances</translation>
    </message>
    <message>
        <source>Functional unit</source>
        <translation>Unité fonctionnelle</translation>
    </message>
    <message>
        <source>Mass per functional unit</source>
        <translation>Masse par unité fonctionnelle</translation>
    </message>
    <message>
        <source>Reused</source>
        <translation>Réemployé</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Statut</translation>
    </message>
    <message>
        <source>Suggested functional unit</source>
        <translation>Unité fonctionnelle suggérée</translation>
    </message>
    <message>
        <source>Suggested mass per functional unit</source>
        <translation>Masse par unité fonctionnelle suggérée</translation>
    </message>
    <message>
        <source>Suggestion sources</source>
        <translation>Origine des suggestions</translation>
    </message>
    <message>
        <source>Suggested share: %1</source>
        <translation>Part suggérée : %1</translation>
    </message>
</context>
<context>
    <name>Orvane::TypeInputsWorkbookImport</name>
    <message>
        <source>The workbook cannot be read: %1</source>
        <translation>Le classeur ne peut pas être lu : %1</translation>
    </message>
    <message>
        <source>No sheet &quot;%1&quot; in &apos;%2&apos;; its sheets: %3</source>
        <translation>Pas de feuille « %1 » dans &apos;%2&apos; ; ses feuilles : %3</translation>
    </message>
    <message>
        <source>the same column as column %1</source>
        <translation>la même colonne que la colonne %1</translation>
    </message>
    <message>
        <source>Sheet &quot;%1&quot;, row 1: no column &quot;%2&quot;</source>
        <translation>Feuille « %1 », ligne 1 : pas de colonne « %2 »</translation>
    </message>
    <message>
        <source>the same material as column %1</source>
        <translation>le même matériau que la colonne %1</translation>
    </message>
    <message>
        <source>no GlobalId in a row that has values</source>
        <translation>pas de GlobalId sur une ligne qui a des valeurs</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not the GlobalId of an element type of the model</source>
        <translation>« %1 » n’est le GlobalId d’aucun type d’élément de la maquette</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is already on row %2</source>
        <translation>« %1 » est déjà sur la ligne %2</translation>
    </message>
    <message>
        <source>a value in a column without a header in row 1</source>
        <translation>une valeur dans une colonne sans en-tête en ligne 1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a reuse value: TRUE or FALSE, yes or no, oui or non, 1 or 0</source>
        <translation>« %1 » n’est pas une valeur de réemploi : VRAI ou FAUX, oui ou non, yes ou no, 1 ou 0</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number</source>
        <translation>« %1 » n’est pas un nombre</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a finite number</source>
        <translation>« %1 » n’est pas un nombre fini</translation>
    </message>
    <message>
        <source>%1 is negative</source>
        <translation>%1 est négatif</translation>
    </message>
    <message>
        <source>Sheet &quot;%1&quot;, row %2, column %3 (&quot;%4&quot;): %5</source>
        <translation>Feuille « %1 », ligne %2, colonne %3 (« %4 ») : %5</translation>
    </message>
    <message>
        <source>The inputs of the type &quot;%1&quot; cannot be written</source>
        <translation>Les données du type « %1 » ne peuvent pas être écrites</translation>
    </message>
    <message>
        <source>No instance number is left in the model for the inputs</source>
        <translation>Il ne reste plus de numéro d’instance dans la maquette pour les données</translation>
    </message>
    <message>
        <source>The material composition</source>
        <translation>La composition matière</translation>
    </message>
    <message>
        <source>%1 cannot be written at &quot;%2&quot;: %3</source>
        <translation>Impossible d’écrire « %1 » en « %2 » : %3</translation>
    </message>
</context>
<context>
    <name>Orvane::TypeInputPath</name>
    <message>
        <source>Read only: the path &quot;%1&quot; does not lead into a property set of the type (%2)</source>
        <translation>Lecture seule : le chemin « %1 » ne mène pas dans un jeu de propriétés du type (%2)</translation>
    </message>
</context>
<context>
    <name>Orvane::TypeInputs</name>
    <message>
        <source>no functional unit</source>
        <translation>pas d’unité fonctionnelle</translation>
    </message>
    <message>
        <source>functional unit &quot;%1&quot; not recognised</source>
        <translation>unité fonctionnelle « %1 » non reconnue</translation>
    </message>
    <message>
        <source>no mass per functional unit</source>
        <translation>pas de masse par unité fonctionnelle</translation>
    </message>
    <message>
        <source>mass per functional unit &quot;%1&quot; is not a number</source>
        <translation>la masse par unité fonctionnelle « %1 » n’est pas un nombre</translation>
    </message>
    <message>
        <source>no composition</source>
        <translation>pas de composition</translation>
    </message>
    <message>
        <source>no positive share in the composition</source>
        <translation>aucune part positive dans la composition</translation>
    </message>
    <message>
        <source>complete</source>
        <translation>complet</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n instance(s))</source>
        <translation>
            <numerusform>%1 (%n instance)</numerusform>
            <numerusform>%1 (%n instances)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Orvane::TypeInputsModel</name>
    <message>
        <source>No reuse flag: the type&apos;s materials are taken as not reused</source>
        <translation>Pas d’indicateur de réemploi : les matériaux du type sont comptés comme non réemployés</translation>
    </message>
    <message>
        <source>Recognised: %1</source>
        <translation>Reconnus : %1</translation>
    </message>
    <message>
        <source>Share in percent of the type&apos;s mass</source>
        <translation>Part en pourcentage de la masse du type</translation>
    </message>
    <message>
        <source>Share as a fraction of the type&apos;s mass (&quot;40 %&quot; is read as 0.4)</source>
        <translation>Part en fraction de la masse du type (« 40 % » se lit 0,4)</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Entity</source>
        <translation>Entité</translation>
    </message>
    <message>
        <source>Instances</source>
        <translation>Instances</translation>
    </message>
    <message>
        <source>Functional unit</source>
        <translation>Unité fonctionnelle</translation>
    </message>
    <message>
        <source>Mass per functional unit</source>
        <translation>Masse par unité fonctionnelle</translation>
    </message>
    <message>
        <source>Reused</source>
        <translation>Réemployé</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Statut</translation>
    </message>
    <message>
        <source>Set reused of %1</source>
        <translation>Réemploi de %1</translation>
    </message>
    <message>
        <source>Set functional unit of %1</source>
        <translation>Unité fonctionnelle de %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a mass: type a number of kilograms, 0 or more</source>
        <translation>« %1 » n’est pas une masse : saisir un nombre de kilogrammes, 0 ou plus</translation>
    </message>
    <message>
        <source>Set mass per functional unit of %1</source>
        <translation>Masse par unité fonctionnelle de %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a share: type a number, 0 or more, or a percentage such as 40 %</source>
        <translation>« %1 » n’est pas une part : saisir un nombre, 0 ou plus, ou un pourcentage comme 40 %</translation>
    </message>
    <message>
        <source>Set share of %1 in %2</source>
        <translation>Part de %1 dans %2</translation>
    </message>
    <message>
        <source>%1: the input could not be written into the model</source>
        <translation>%1 : la donnée n’a pas pu être écrite dans le modèle</translation>
    </message>
    <message>
        <source>No suggestion to accept</source>
        <translation>Aucune suggestion à accepter</translation>
    </message>
    <message numerus="yes">
        <source>Accept suggested inputs of %n type(s)</source>
        <translation>
            <numerusform>Accepter les données suggérées de %n type</numerusform>
            <numerusform>Accepter les données suggérées de %n types</numerusform>
        </translation>
    </message>
    <message>
        <source>Suggested: %1
%2</source>
        <translation>Suggéré : %1
%2</translation>
    </message>
    <message>
        <source>Suggested: %1 kg
%2</source>
        <translation>Suggéré : %1 kg
%2</translation>
    </message>
    <message>
        <source>No mass suggested: %1</source>
        <translation>Aucune masse suggérée : %1</translation>
    </message>
    <message>
        <source>Suggested composition
%1</source>
        <translation>Composition suggérée
%1</translation>
    </message>
    <message>
        <source>No density in the material library for %1: add them to the library</source>
        <translation>Pas de masse volumique dans la bibliothèque de matériaux pour %1 : ajoutez-les à la bibliothèque</translation>
    </message>
</context>
<context>
    <name>Orvane::TypeInputsWidget</name>
    <message>
        <source>Filter types</source>
        <translation>Filtrer les types</translation>
    </message>
    <message>
        <source>Only types with missing inputs</source>
        <translation>Seulement les types incomplets</translation>
    </message>
    <message>
        <source>Export type inputs…</source>
        <translation>Exporter les données des types…</translation>
    </message>
    <message>
        <source>Import type inputs…</source>
        <translation>Importer les données des types…</translation>
    </message>
    <message numerus="yes">
        <source>%n type(s) with building elements, %1 with every input</source>
        <translation>
            <numerusform>%n type avec éléments de construction, %1 complet(s)</numerusform>
            <numerusform>%n types avec éléments de construction, %1 complets</numerusform>
        </translation>
    </message>
    <message>
        <source>The type inputs could not be written to %1</source>
        <translation>Les données des types n’ont pas pu être écrites dans %1</translation>
    </message>
    <message numerus="yes">
        <source>Type inputs of %n type(s) written to %1</source>
        <translation>
            <numerusform>Données de %n type écrites dans %1</numerusform>
            <numerusform>Données de %n types écrites dans %1</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 changes no input of the model</source>
        <translation>%1 ne change aucune donnée du modèle</translation>
    </message>
    <message>
        <source>Import type inputs from %1</source>
        <translation>Import des données des types depuis %1</translation>
    </message>
    <message>
        <source>The inputs could not be written into the model</source>
        <translation>Les données n’ont pas pu être écrites dans le modèle</translation>
    </message>
    <message numerus="yes">
        <source>Inputs of %n type(s) changed from %1</source>
        <translation>
            <numerusform>Données de %n type modifiées depuis %1</numerusform>
            <numerusform>Données de %n types modifiées depuis %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Export type inputs</source>
        <translation>Exporter les données des types</translation>
    </message>
    <message>
        <source>Excel files (*.xlsx)</source>
        <translation>Fichiers Excel (*.xlsx)</translation>
    </message>
    <message>
        <source>Import type inputs</source>
        <translation>Importer les données des types</translation>
    </message>
    <message>
        <source>%1

Nothing was written into the model.</source>
        <translation>%1

Rien n’a été écrit dans le modèle.</translation>
    </message>
    <message>
        <source>Accept the suggestions of the selected cells</source>
        <translation>Accepter les suggestions des cellules sélectionnées</translation>
    </message>
    <message>
        <source>Writes the suggested inputs shown greyed in the selected cells; a selected type name accepts all of its suggestions</source>
        <translation>Écrit les données suggérées affichées en gris dans les cellules sélectionnées ; un nom de type sélectionné accepte toutes ses suggestions</translation>
    </message>
    <message>
        <source>Accept the suggestions of this column for every type</source>
        <translation>Accepter les suggestions de cette colonne pour tous les types</translation>
    </message>
    <message>
        <source>Accept all suggestions</source>
        <translation>Accepter toutes les suggestions</translation>
    </message>
    <message>
        <source>Writes every suggested input of every type as one step that Edit &gt; Undo takes back</source>
        <translation>Écrit toutes les données suggérées de tous les types en une seule étape qu’Édition &gt; Annuler défait</translation>
    </message>
    <message>
        <source>Accept the suggested "%1" of every type</source>
        <translation>Accepter « %1 » suggéré de tous les types</translation>
    </message>
    <message>
        <source>The model is busy</source>
        <translation>Le modèle est occupé</translation>
    </message>
    <message>
        <source>The suggestions could not be written into the model</source>
        <translation>Les suggestions n’ont pas pu être écrites dans le modèle</translation>
    </message>
    <message>
        <source>Suggested inputs written; Edit &gt; Undo takes them back</source>
        <translation>Données suggérées écrites ; Édition &gt; Annuler les défait</translation>
    </message>
</context>
<context>
    <name>Orvane::MassUnitActions</name>
    <message>
        <source>Show masses in kg</source>
        <translation>Afficher les masses en kg</translation>
    </message>
    <message>
        <source>Show masses in t</source>
        <translation>Afficher les masses en t</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialLibrary</name>
    <message>
        <source>No entry of the material library</source>
        <translation>Aucune entrée de la bibliothèque de matériaux</translation>
    </message>
    <message>
        <source>&quot;%1&quot; by name</source>
        <translation>« %1 » par son nom</translation>
    </message>
    <message>
        <source>&quot;%1&quot; by the pattern &quot;%2&quot;</source>
        <translation>« %1 » par le motif « %2 »</translation>
    </message>
    <message>
        <source>The material library %1 cannot be read: %2</source>
        <translation>La bibliothèque de matériaux %1 ne peut pas être lue : %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>line %1: the first line is not the columns&apos; header &quot;%2&quot;</source>
        <translation>ligne %1 : la première ligne n&apos;est pas l&apos;en-tête des colonnes « %2 »</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1 : %2</translation>
    </message>
    <message>
        <source>%1 columns instead of %2</source>
        <translation>%1 colonnes au lieu de %2</translation>
    </message>
    <message>
        <source>no name</source>
        <translation>pas de nom</translation>
    </message>
    <message>
        <source>the density &quot;%1&quot; is not a non-negative number</source>
        <translation>la masse volumique « %1 » n&apos;est pas un nombre positif ou nul</translation>
    </message>
    <message>
        <source>unknown category &quot;%1&quot;</source>
        <translation>catégorie « %1 » inconnue</translation>
    </message>
    <message>
        <source>unknown outlet &quot;%1&quot;</source>
        <translation>filière « %1 » inconnue</translation>
    </message>
    <message>
        <source>Inert</source>
        <translation>Inerte</translation>
    </message>
    <message>
        <source>Non-hazardous</source>
        <translation>Non dangereux</translation>
    </message>
    <message>
        <source>Hazardous</source>
        <translation>Dangereux</translation>
    </message>
    <message>
        <source>Reuse</source>
        <translation>Réemploi</translation>
    </message>
    <message>
        <source>Recycling</source>
        <translation>Recyclage</translation>
    </message>
    <message>
        <source>Energy recovery</source>
        <translation>Valorisation énergétique</translation>
    </message>
    <message>
        <source>Disposal</source>
        <translation>Élimination</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialLibraryModel</name>
    <message>
        <source>New material</source>
        <translation>Nouveau matériau</translation>
    </message>
    <message>
        <source>New material %1</source>
        <translation>Nouveau matériau %1</translation>
    </message>
    <message>
        <source>Your change of a shipped entry</source>
        <translation>Votre modification d&apos;une entrée fournie</translation>
    </message>
    <message>
        <source>Your entry</source>
        <translation>Votre entrée</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Patterns</source>
        <translation>Motifs</translation>
    </message>
    <message>
        <source>Density (kg/m³)</source>
        <translation>Masse volumique (kg/m³)</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Waste code</source>
        <translation>Code déchet</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Outlet</source>
        <translation>Filière</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialLibrarySettingsPage</name>
    <message>
        <source>Material library</source>
        <translation>Bibliothèque de matériaux</translation>
    </message>
</context>
<context>
    <name>Orvane::MaterialLibrarySettingsWidget</name>
    <message>
        <source>Material library</source>
        <translation>Bibliothèque de matériaux</translation>
    </message>
    <message>
        <source>Add an entry</source>
        <translation>Ajouter une entrée</translation>
    </message>
    <message>
        <source>Remove my entry</source>
        <translation>Retirer mon entrée</translation>
    </message>
    <message>
        <source>Test a material name:</source>
        <translation>Tester un nom de matériau :</translation>
    </message>
    <message>
        <source>A material name as the model gives it</source>
        <translation>Un nom de matériau tel que le modèle le donne</translation>
    </message>
    <message>
        <source>Removes your change: the shipped entry comes back</source>
        <translation>Retire votre modification : l&apos;entrée fournie revient</translation>
    </message>
    <message>
        <source>Removes your entry</source>
        <translation>Retire votre entrée</translation>
    </message>
    <message>
        <source>%1, %2 kg/m³</source>
        <translation>%1, %2 kg/m³</translation>
    </message>
</context>
<context>
    <name>Orvane::InventoryWorkbookExport</name>
    <message>
        <source>Material</source>
        <translation>Matériau</translation>
    </message>
    <message>
        <source>Mass to recover</source>
        <translation>Masse à valoriser</translation>
    </message>
    <message>
        <source>Mass re-employed</source>
        <translation>Masse réemployée</translation>
    </message>
    <message>
        <source>Total mass</source>
        <translation>Masse totale</translation>
    </message>
    <message>
        <source>European waste code</source>
        <translation>Code déchet européen</translation>
    </message>
    <message>
        <source>Waste category</source>
        <translation>Catégorie de déchet</translation>
    </message>
    <message>
        <source>Outlet</source>
        <translation>Filière</translation>
    </message>
    <message>
        <source>Material library entry</source>
        <translation>Entrée de la bibliothèque de matériaux</translation>
    </message>
    <message>
        <source>Building elements</source>
        <translation>Éléments de construction</translation>
    </message>
    <message>
        <source>Subtotal by</source>
        <translation>Sous-total par</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Groupe</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>Matériaux</translation>
    </message>
    <message>
        <source>Subtotals</source>
        <translation>Sous-totaux</translation>
    </message>
    <message>
        <source>Building %1</source>
        <translation>Bâtiment %1</translation>
    </message>
    <message>
        <source>No entry in the material library</source>
        <translation>Aucune entrée dans la bibliothèque de matériaux</translation>
    </message>
</context>
<context>
    <name>Orvane::TypeInputsSuggester</name>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Surface</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Longueur</translation>
    </message>
    <message>
        <source>Unite</source>
        <translation>Unité</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n instance(s) carry a volume</source>
        <translation>
            <numerusform>%1 sur %n instance porte un volume</numerusform>
            <numerusform>%1 sur %n instances portent un volume</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Layered element (layer set '%1'); %2 of %n instance(s) carry an area</source>
        <translation>
            <numerusform>Élément en couches (composition « %1 ») ; %2 sur %n instance porte une surface</numerusform>
            <numerusform>Élément en couches (composition « %1 ») ; %2 sur %n instances portent une surface</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Linear element (%1); %2 of %n instance(s) carry a length</source>
        <translation>
            <numerusform>Élément linéaire (%1) ; %2 sur %n instance porte une longueur</numerusform>
            <numerusform>Élément linéaire (%1) ; %2 sur %n instances portent une longueur</numerusform>
        </translation>
    </message>
    <message>
        <source>Counted per unit: the instances carry no volume and the element is neither layered nor linear</source>
        <translation>Compté à l’unité : les instances ne portent pas de volume et l’élément n’est ni en couches ni linéaire</translation>
    </message>
    <message numerus="yes">
        <source>Weights of %n instance(s) over their volumes</source>
        <translation>
            <numerusform>Poids de %n instance rapporté à son volume</numerusform>
            <numerusform>Poids de %n instances rapportés à leurs volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Weights of %n instance(s) over their areas</source>
        <translation>
            <numerusform>Poids de %n instance rapporté à sa surface</numerusform>
            <numerusform>Poids de %n instances rapportés à leurs surfaces</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Weights of %n instance(s) over their lengths</source>
        <translation>
            <numerusform>Poids de %n instance rapporté à sa longueur</numerusform>
            <numerusform>Poids de %n instances rapportés à leurs longueurs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Mean weight of %n instance(s)</source>
        <translation>
            <numerusform>Poids moyen de %n instance</numerusform>
            <numerusform>Poids moyen de %n instances</numerusform>
        </translation>
    </message>
    <message>
        <source>The instances carry no weight</source>
        <translation>Les instances ne portent pas de poids</translation>
    </message>
    <message>
        <source>No material is associated with the type or its instances</source>
        <translation>Aucun matériau n’est associé au type ni à ses instances</translation>
    </message>
    <message>
        <source>%1: no proportions to weigh the densities by</source>
        <translation>%1 : aucune proportion pour pondérer les masses volumiques</translation>
    </message>
    <message>
        <source>%1: no thickness to give a mass per area</source>
        <translation>%1 : aucune épaisseur pour donner une masse par surface</translation>
    </message>
    <message>
        <source>%1: no density for '%2' in the material library</source>
        <translation>%1 : pas de masse volumique pour « %2 » dans la bibliothèque de matériaux</translation>
    </message>
    <message>
        <source>Single material: %1</source>
        <translation>Matériau unique : %1</translation>
    </message>
    <message>
        <source>%1: type the share of each material</source>
        <translation>%1 : saisissez la part de chaque matériau</translation>
    </message>
    <message>
        <source>Shares of the mass by thickness × density: %1</source>
        <translation>Parts de la masse par épaisseur × masse volumique : %1</translation>
    </message>
    <message>
        <source>%1 kg/m³</source>
        <translation>%1 kg/m³</translation>
    </message>
    <message>
        <source>no density in the material library</source>
        <translation>pas de masse volumique dans la bibliothèque de matériaux</translation>
    </message>
    <message>
        <source>%1 mm %2, %3</source>
        <translation>%1 mm %2, %3</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>layer set '%1': %2</source>
        <translation>composition en couches « %1 » : %2</translation>
    </message>
    <message>
        <source>material list: %1</source>
        <translation>liste de matériaux : %1</translation>
    </message>
    <message>
        <source>material %1</source>
        <translation>matériau %1</translation>
    </message>
    <message>
        <source>no material</source>
        <translation>aucun matériau</translation>
    </message>
</context>
</TS>
