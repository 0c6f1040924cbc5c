<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Information</name>
    <message>
        <source>%1%2</source>
        <comment>Error code is &quot;STARTEXEC&quot;</comment>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>Error code is &quot;COPYRIGHT&quot;</comment>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>End of execution with %1 error(s) and %2 warning(s)</source>
        <comment>Error code is &quot;ENDERRWAR&quot;</comment>
        <translation>Fin d&apos;exécution avec %1 erreur(s) et %2 avertissement(s)</translation>
    </message>
    <message>
        <source>End of execution with %1 error(s)</source>
        <comment>Error code is &quot;ENDERRNWR&quot;</comment>
        <translation>Fin d&apos;exécution avec %1 erreur(s)</translation>
    </message>
    <message>
        <source>End of execution with %1%2 warning(s)</source>
        <comment>Error code is &quot;ENDNOEWAR&quot;</comment>
        <translation>Fin d&apos;exécution avec %1%2 avertissement(s)</translation>
    </message>
    <message>
        <source>End of execution with 0 error and 0 warning%1%2</source>
        <comment>Error code is &quot;ENDNOENWR&quot;</comment>
        <translation>Fin d&apos;exécution avec 0 erreur et 0 avertissement%1%2</translation>
    </message>
    <message>
        <source>Some scenarios are incorrect</source>
        <comment>Error code is &quot;MSGENDPOS&quot;</comment>
        <translation>Certains scénarios sont incorrects</translation>
    </message>
    <message>
        <source>Unexcepted end of intermediate report file %1</source>
        <comment>Error code is &quot;MSGENDWRN&quot;</comment>
        <translation>Fin inattendue du fichier de compte rendu intermédiaire %1</translation>
    </message>
    <message>
        <source>Instance %1 undeclared in test plan</source>
        <comment>Error code is &quot;ISTNOPLAN&quot;</comment>
        <translation>Instance %1 non déclarée dans le plan de test</translation>
    </message>
    <message>
        <source>Range of value not authorized. Ask for maintenance help.</source>
        <comment>Error code is &quot;RANGENOTA&quot;</comment>
        <translation>Plage de valeurs non autorisée. Demandez l&apos;aide de la maintenance.</translation>
    </message>
</context>
<context>
    <name>File error</name>
    <message>
        <source>File %1 access problem</source>
        <comment>Error code is &quot;FICNOTOPN&quot;</comment>
        <translation>Problème d&apos;accès au fichier %1</translation>
    </message>
    <message>
        <source>File %1 opening problem</source>
        <comment>Error code is &quot;FICERROPN&quot;</comment>
        <translation>Problème d&apos;ouverture du fichier %1</translation>
    </message>
    <message>
        <source>Template of the file fctri_c automaticly generated</source>
        <comment>Error code is &quot;NEWFFCTRI&quot;</comment>
        <translation>Modèle du fichier fctri_c généré automatiquement</translation>
    </message>
    <message>
        <source>The file fctri_c may not be up to date</source>
        <comment>Error code is &quot;OLDFFCTRI&quot;</comment>
        <translation>Le fichier fctri_c n&apos;est peut-être pas à jour</translation>
    </message>
</context>
<context>
    <name>Fatal error</name>
    <message>
        <source>%1Internal error in the function %2</source>
        <comment>Error code is &quot;ERRINTFCT&quot;</comment>
        <translation>%1Erreur interne dans la fonction %2</translation>
    </message>
    <message>
        <source>%1Lexical error %2</source>
        <comment>Error code is &quot;ERRPARENT&quot;</comment>
        <translation>%1Erreur lexicale %2</translation>
    </message>
    <message>
        <source>%1</source>
        <comment>Error code is &quot;COMMUSAGE&quot;</comment>
        <translation>%1</translation>
    </message>
    <message>
        <source>Invalid command line</source>
        <comment>Error code is &quot;COMMFATAL&quot;</comment>
        <translation>Ligne de commande invalide</translation>
    </message>
</context>
<context>
    <name>Command line error</name>
    <message>
        <source>Initialization problem on command line</source>
        <comment>Error code is &quot;INITPBRLM&quot;</comment>
        <translation>Problème d&apos;initialisation de la ligne de commande</translation>
    </message>
    <message>
        <source>Incorrect -SET option : filters must be upper case letters</source>
        <comment>Error code is &quot;BADFLTVAL&quot;</comment>
        <translation>Option -SET incorrecte : les filtres doivent être des lettres majuscules</translation>
    </message>
    <message>
        <source>Incorrect -BUFSIZE option : buffer size must be a number</source>
        <comment>Error code is &quot;BADBSZVAL&quot;</comment>
        <translation>Option -BUFSIZE incorrecte : la taille du buffer doit être un nombre</translation>
    </message>
</context>
<context>
    <name>TsfGen context</name>
    <message>
        <source>System under test</source>
        <translation>Système sous test</translation>
    </message>
    <message>
        <source>default tester</source>
        <translation>testeur par défaut</translation>
    </message>
    <message>
        <source>END %1</source>
        <translation>FIN %1</translation>
    </message>
</context>
</TS>
