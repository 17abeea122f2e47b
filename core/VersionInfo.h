// Version facts shared by both programs' resources and code.
#pragma once
#define QM_VERSION_MAJOR 1
#define QM_VERSION_MINOR 0
#define QM_VERSION_TEXT "1.0"
#define QM_VERSION_COMMA 1, 0, 0, 0
#define QM_COMPANY "Velantix"
#define QM_PRODUCT "Quellmor"
#define QM_WEB_ADDRESS "http://www.velantix.com/quellmor/"
#define QM_WEB_SERVER "http://www.velantix.com"
#define QM_REPORT_HOST "www.velantix.com"
#define QM_REPORT_PATH "/pelmar/report.php"
