<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CAB</name>
    <message>
        <source>Zolmex</source>
        <translation>Zolmex</translation>
    </message>
    <message>
        <source>Arg value too small,</source>
        <translation>Valeur d&apos;argument trop petite,</translation>
    </message>
    <message>
        <source>Arg value too large,</source>
        <translation>Valeur d&apos;argument trop grande,</translation>
    </message>
    <message>
        <source>Arg length too small,</source>
        <translation>Longueur d&apos;argument trop petite,</translation>
    </message>
    <message>
        <source>Arg length too large,</source>
        <translation>Longueur d&apos;argument trop grande,</translation>
    </message>
    <message>
        <source>Too many arguments invalid argument,</source>
        <translation>Trop d&apos;arguments, argument invalide,</translation>
    </message>
    <message>
        <source>List forbidden invalid argument,</source>
        <translation>Liste interdite, argument invalide,</translation>
    </message>
    <message>
        <source>Unknown option,</source>
        <translation>Option inconnue,</translation>
    </message>
    <message>
        <source>Invalid character following option,</source>
        <translation>Caractère invalide après l&apos;option,</translation>
    </message>
    <message>
        <source>An option can&apos;t be used twice,</source>
        <translation>Une option ne peut pas être utilisée deux fois,</translation>
    </message>
    <message>
        <source>Mandatory argument for this option,</source>
        <translation>Argument obligatoire pour cette option,</translation>
    </message>
    <message>
        <source>No argument for this option,</source>
        <translation>Pas d&apos;argument pour cette option,</translation>
    </message>
    <message>
        <source>List forbidden invalid option,</source>
        <translation>Liste interdite, option invalide,</translation>
    </message>
    <message>
        <source>Argument missing,</source>
        <translation>Argument manquant,</translation>
    </message>
    <message>
        <source>Ambiguous option,</source>
        <translation>Option ambiguë,</translation>
    </message>
    <message>
        <source>Unknown value of option,</source>
        <translation>Valeur d&apos;option inconnue,</translation>
    </message>
    <message>
        <source>Ambiguous value of option,</source>
        <translation>Valeur d&apos;option ambiguë,</translation>
    </message>
    <message>
        <source>Illegal combination of command elements,</source>
        <translation>Combinaison interdite d&apos;éléments de la commande,</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Fichier introuvable</translation>
    </message>
    <message>
        <source>Command analysis: No memory left</source>
        <translation>Analyse de la commande : plus de mémoire disponible</translation>
    </message>
    <message>
        <source>Command analysis</source>
        <translation>Analyse de la commande</translation>
    </message>
    <message>
        <source>Internal error, bad option name</source>
        <translation>Erreur interne, nom d&apos;option incorrect</translation>
    </message>
</context>
<context>
    <name>Command-line</name>
    <message>
        <source>
Usage ZERIZEVAR:
&#9;&lt;scn&gt;
&#9;&lt;interface_file&gt;[,interface_file]
&#9;&lt;root&gt;
&#9;[-INCL=&lt;directory_list&gt;[,directory_list]]
&#9;[-SET=&lt;letters&gt;]
&#9;[-DEFINE=&lt;compiler_option&gt;[,compiler_option]]
&#9;[-STD_DEFINE=&lt;file&gt;]
&#9;[-VARNEL_LOG=&lt;file&gt;]
&#9;[-SCN=&lt;scenario_name&gt;[,scenario_name]]
&#9;[-EXSCN=&lt;exscenario_name&gt;[,exscenario_name]]
&#9;[-FAMILY=&lt;family_name&gt;[,family_name]]
&#9;[-EXFAMILY=&lt;exfamily_name&gt;[,exfamily_name]]
&#9;[-INSTANCE=&lt;instance_name&gt;]
&#9;[-RESTRICTION=&lt;ANSI|KR&gt;]
&#9;[-FAST|-NOFAST]
&#9;[-PROBE=&lt;CUSTOM|DEFAULT&gt;]
&#9;[-LOG|-NOLOG]
&#9;[-ALLOCATION[=&lt;DYNAMIC|STACK&gt;]]
&#9;[-THREAD[=&lt;routine_name&gt;]]
&#9;[-NOTSHARED]
&#9;[-NOPATH]
&#9;[-NOCOMMENT]
&#9;[-SPVGEN]
&#9;[-TRACE=&lt;ERROR|TIME|SCN|CIRCULAR&gt;]
&#9;[-BUFSIZE=&lt;buffer_size&gt;]
</source>
        <translation>
Utilisation de ZERIZEVAR :
&#9;&lt;scn&gt;
&#9;&lt;fichier_interface&gt;[,fichier_interface]
&#9;&lt;racine&gt;
&#9;[-INCL=&lt;liste_répertoires&gt;[,liste_répertoires]]
&#9;[-SET=&lt;lettres&gt;]
&#9;[-DEFINE=&lt;option_compilation&gt;[,option_compilation]]
&#9;[-STD_DEFINE=&lt;fichier&gt;]
&#9;[-VARNEL_LOG=&lt;fichier&gt;]
&#9;[-SCN=&lt;nom_scénario&gt;[,nom_scénario]]
&#9;[-EXSCN=&lt;nom_exscénario&gt;[,nom_exscénario]]
&#9;[-FAMILY=&lt;nom_famille&gt;[,nom_famille]]
&#9;[-EXFAMILY=&lt;nom_exfamille&gt;[,nom_exfamille]]
&#9;[-INSTANCE=&lt;nom_instance&gt;]
&#9;[-RESTRICTION=&lt;ANSI|KR&gt;]
&#9;[-FAST|-NOFAST]
&#9;[-PROBE=&lt;CUSTOM|DEFAULT&gt;]
&#9;[-LOG|-NOLOG]
&#9;[-ALLOCATION[=&lt;DYNAMIC|STACK&gt;]]
&#9;[-THREAD[=&lt;nom_routine&gt;]]
&#9;[-NOTSHARED]
&#9;[-NOPATH]
&#9;[-NOCOMMENT]
&#9;[-SPVGEN]
&#9;[-TRACE=&lt;ERROR|TIME|SCN|CIRCULAR&gt;]
&#9;[-BUFSIZE=&lt;taille_buffer&gt;]
</translation>
    </message>
</context>
</TS>
