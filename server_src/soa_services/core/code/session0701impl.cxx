#include "soa_services/core/code/session0701impl.hxx"

#include "soa_services/core/code/session_prefs.hxx"

#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "kernel/session.hxx"
#include "pom/pom.hxx"
#include "sa/sa.hxx"
#include "server_info/server_info.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_common/xml.hxx"
#include "soa_server/policy.hxx"
#include "tag/tag.hxx"
#include "text/text_server.hxx"

#include <cstdio>
#include <iterator>

namespace Velmora::Soa::Core::_2007_01 {

namespace {

using Velmora::Soa::Server::ServiceException;

// The five parts of the server version, in the order they are composed.
constexpr const char* kVersionKeys[] = {"k_releaseFlag", "k_majorVersion", "k_minorVersion", "k_QRMnumber",
                                        "k_phaseNumber"};

// The site has no transient volume when the root directory reads so.
constexpr const char* kNoTransientVolume = "NONE";

// The text server's text for a key, "" when it has none.
std::string textOf(const std::string& key) {
    scoped_smptr<char> text(OSTRA_text(key.c_str()));
    return text ? std::string(text.get()) : std::string();
}

// The composed server version, or "" unless all five texts exist. The texts
// are freed however this ends.
std::string serverVersion() {
    scoped_smptr<char> parts[std::size(kVersionKeys)];
    for (std::size_t i = 0; i < std::size(kVersionKeys); ++i) *&parts[i] = OSTRA_text(kVersionKeys[i]);
    for (const auto& part : parts)
        if (!part) return {};
    std::string version = parts[0].get();
    version += parts[1].get();
    for (std::size_t i = 2; i < std::size(kVersionKeys); ++i) {
        version += '.';
        version += parts[i].get();
    }
    return version;
}

}  // namespace

Session::GetVLSessionInfoResponse SessionImpl::getVLSessionInfo() {
    GetVLSessionInfoResponse response;
    auto& serviceData = response.serviceData;

    tag_t user = NULLTAG;
    try {
        ResultStatus rs;
        scoped_smptr<char> userName;
        rs = POM_get_user(&userName, &user);
    } catch (IFail&) {
        throw ServiceException();
    }
    response.user = POMRef<User>(user);
    serviceData.addPlainObject(user);

    bool bypass = false;
    try {
        ResultStatus rs = ITK_ask_bypass(&bypass);
    } catch (IFail&) {
        serviceData.addErrorStack();
    }

    response.journaling = LM_enabled(LM_journal()) == 1;
    response.appJournaling = LM_enabled(LM_application_log()) == 1;
    response.secJournaling = LM_enabled(LM_security_log()) == 1;
    response.admJournaling = LM_enabled(LM_administration_log()) == 1;
    response.privileged = loginUser::isPrivilegeUser() == 1;
    response.bypass = bypass;

    response.group = POMRef<Group>(loginUser::currentGroupTag());
    serviceData.addPlainObject(response.group.tag());
    response.role = POMRef<Role>(loginUser::currentRoleTag());
    serviceData.addPlainObject(response.role.tag());
    response.project = POMRef<Project>(loginUser::currentProjectTag());
    serviceData.addPlainObject(response.project.tag());
    response.workContext = POMRef<WorkContext>(loginUser::currentWorkContextTag());
    serviceData.addPlainObject(response.workContext.tag());

    // Without a current volume the answer simply has none.
    try {
        tag_t volume = NULLTAG;
        ResultStatus rs = VM_ask_current_volume(&volume);
        response.vlVolume = POMRef<Volume>(volume);
        serviceData.addPlainObject(volume);
    } catch (IFail&) {
        EMH_clear_errors();
    }

    try {
        ResultStatus rs;
        int siteId = 0;
        rs = POM_site_id(&siteId);
        tag_t site = NULLTAG;
        rs = SA_find_site_by_id(siteId, &site);
        response.site = POMRef<Site>(site);
        serviceData.addPlainObject(site);
    } catch (IFail&) {
        serviceData.addErrorStack();
    }

    // Written as data: a '%' in a version text stays as it is.
    response.serverVersion = serverVersion();
    if (!response.serverVersion.empty()) {
        if (FILE* log = ERROR_ask_system_log_stream())
            std::fprintf(log, "--- Harbor Server version is: %s ---\n\n", response.serverVersion.c_str());
    }

    std::string transientRoot = FileTickets::getTransientVolRootDir();
    if (transientRoot == kNoTransientVolume) {
        ERROR_store(3, vl::platform::ERR_NO_TRANSIENT_VOLUME, "Transient_Volume_RootDir");
        serviceData.addErrorStack();
    } else {
        response.transientVolRootDir = transientRoot;
    }

    bool inV7Mode = false;
    try {
        ResultStatus rs;
        rs = EffectivityMode::isInV7Mode(inV7Mode);
    } catch (IFail&) {
        EMH_clear_errors();
    }
    response.isInV7Mode = inV7Mode;

    int moduleNumber = -1;
    try {
        ResultStatus rs = ILM__get_module(&moduleNumber);
    } catch (IFail&) {
        serviceData.addErrorStack();
    }
    response.moduleNumber = moduleNumber;

    response.isSubscriptionMgrEnabled = SubscriptionManager::isEnabled() == 1;

    // The query's own result tells nothing the flag does not.
    bool partBomUsage = false;
    PartBOMServiceFactory::getPartBOMServiceInstance()->isPartBOMUsageEnabled(&partBomUsage);
    response.isPartBOMUsageEnabled = partBomUsage;
    return response;
}

bool SessionImpl::setObjectPropertyPolicy(const std::string& policyName) {
    using Velmora::Soa::Internal::Server::PolicyManager;
    using Velmora::Soa::Internal::Server::XmlPropertyPolicy;
    try {
        if (policyName == "empty" || policyName == "Empty") {
            PolicyManager::setEmptyPolicy(true);
            return true;
        }
        PolicyManager::setEmptyPolicy(false);
        XmlPropertyPolicy* policy = XmlPropertyPolicy::createPolicy(policyName);
        PolicyManager::addPropertyPolicy("XmlPolicy", policy);
        return true;
    } catch (Velmora::Soa::Common::Exceptions::DomException& e) {
        ERROR_store(3, vl::platform::ERR_POLICY_REFUSED, policyName.c_str());
        ERROR_store(3, vl::platform::ERR_POLICY_PARSE, e.getMessage().c_str());
        throw ServiceException();
    }
}

OSTRA_preference_search_scope_e SessionImpl::scopeFromName(std::string name) {
    return SessionPrefs::scopeFromName(name);
}

Session::MultiPreferencesResponse SessionImpl::getPreferences(
    const std::vector<ScopedPreferenceNames>& requestedPrefs) {
    OSTRA_preference_search_scope_e saved = OSTRA_preference_all_preferences;
    PREF_ask_search_scope(&saved);
    // Set back once, after the last entry or when an unknown scope ends the
    // call.
    SessionPrefs::SearchScopeRestore restore(saved);

    MultiPreferencesResponse response;
    for (const ScopedPreferenceNames& entry : requestedPrefs) {
        PREF_set_search_scope(scopeFromName(entry.scope));
        SessionPrefs::SmStringArray names(entry.names);
        for (int i = 0; i < names.count(); ++i) {
            try {
                ReturnedPreferences pref;
                pref.name = names[i];
                pref.scope = entry.scope;
                SessionPrefs::PrefCharValues values;
                ResultStatus rs = PREF_ask_char_values(names[i], values.count(), values.values());
                pref.values = values.texts();
                response.preferences.push_back(std::move(pref));
            } catch (IFail&) {
                // A name that cannot be read is left out; its error must not
                // reach a later reply.
                ERROR_store_clear();
            }
        }
    }
    return response;
}

std::vector<Session::TextInfo> SessionImpl::getLocalizedValues(const std::vector<std::string>& realNames) {
    std::vector<TextInfo> infos;
    infos.reserve(realNames.size());
    for (const std::string& name : realNames) {
        TextInfo info{name, textOf(name)};
        const std::size_t dot = name.find('.');
        if (dot != std::string::npos && (info.displayName == name || name.compare(0, 3, "!!!") == 0)) {
            const std::string typeName = name.substr(0, dot);
            tag_t type = NULLTAG;
            if (OSTRATYPE_find_type(typeName.c_str(), typeName.c_str(), &type) == 0)
                info.displayName = textOf(name.substr(dot + 1));
            else
                ERROR_store_clear();  // a name that is no type name is no failure
        }
        infos.push_back(std::move(info));
    }
    return infos;
}

}  // namespace Velmora::Soa::Core::_2007_01
