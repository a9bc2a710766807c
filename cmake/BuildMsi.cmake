# Builds the Windows Installer package from resources/tambrel.wxs with wixl, then adds what
# wixl cannot write: the Environment table's row that puts the program folder on the system
# PATH (appended to it, taken out again on removal), and the two actions that apply it.
# Run from the build folder (wixl takes its source files by relative path only) as:
#   cmake -DWIXL=... -DMSIBUILD=... -DWXS=... -DSTAGE_DIR=<relative> -DICON_FILE=<relative>
#         -DVERSION=... -DPRODUCT_CODE=... -DOUTPUT=... -P BuildMsi.cmake
file(REMOVE ${OUTPUT})
execute_process(
    COMMAND ${WIXL} --arch x64 -D Version=${VERSION} -D ProductCode=${PRODUCT_CODE}
            -D StageDir=${STAGE_DIR} -D IconFile=${ICON_FILE} -o ${OUTPUT} ${WXS}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "wixl could not build ${OUTPUT}")
endif()

# "=-*Path": the system's variable, created if missing, this part removed on uninstall;
# "[~];" appends the folder to what is there. The sequence numbers are Windows Installer's
# own for the two standard actions.
execute_process(
    COMMAND ${MSIBUILD} ${OUTPUT}
        -q "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
        -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('SystemPath', '=-*Path', '[~];[INSTALLFOLDER]', 'CommandLineTool')"
        -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
        -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "msibuild could not add the PATH entry to ${OUTPUT}")
endif()
