// The classes and types the platform itself relies on, in the fixture
// language; every fixture is loaded on top of them.
namespace vl::platform::site {

extern const char* const kBuiltinSchema;

const char* const kBuiltinSchema = R"(
class POMObject -
class POM_application_object POMObject
attr POM_application_object owning_user typedref ref=User system
attr POM_application_object owning_group typedref ref=Group system
attr POM_application_object creation_date date system
attr POM_application_object last_mod_date date system
attr POM_application_object last_mod_user typedref ref=User system
class WorkspaceObject POM_application_object
attr WorkspaceObject object_name string max=128
attr WorkspaceObject object_desc string max=240
attr WorkspaceObject object_type string max=32 system
class Folder WorkspaceObject
attr Folder contents untypedref array
class Item WorkspaceObject
attr Item item_id string max=128 key required
attr Item uom_tag typedref ref=UnitOfMeasure
attr Item revision_list typedref ref=ItemRevision array system backref
class ItemRevision WorkspaceObject
attr ItemRevision item_revision_id string max=32 required system
attr ItemRevision items_tag typedref ref=Item system backref
class Form WorkspaceObject
class Dataset WorkspaceObject
attr Dataset dataset_type typedref ref=DatasetType system
attr Dataset tool_used typedref ref=Tool
attr Dataset format_used string max=64 system
attr Dataset ref_names string array system
attr Dataset ref_list untypedref array system
attr Dataset rev_chain_anchor typedref ref=RevisionAnchor system backref
attr Dataset dataset_id string max=128
attr Dataset dataset_rev string max=32
attr Dataset qmpart_prepared logical system
class RevisionAnchor POMObject
attr RevisionAnchor revisions typedref ref=Dataset array system backref
attr RevisionAnchor version int system
class Relation POM_application_object
attr Relation primary_object untypedref system
attr Relation secondary_object untypedref system
attr Relation user_data untypedref system
class OstraFile POM_application_object
attr OstraFile original_file_name string max=256
attr OstraFile file_name string max=256 system
attr OstraFile volume_tag typedref ref=Volume system
attr OstraFile text_flag logical system
class OstraType POMObject
attr OstraType type_name string max=32 key system
attr OstraType type_class string max=32 system
attr OstraType parent_type typedref ref=OstraType system
attr OstraType display_name string max=128
class DatasetType POMObject
attr DatasetType datasettype_name string max=32 key system
attr DatasetType list_of_tools typedref ref=Tool array system
attr DatasetType default_tool typedref ref=Tool system
attr DatasetType ref_names string array system
attr DatasetType ref_formats string array system
attr DatasetType ref_templates string array system
class Tool POMObject
attr Tool object_name string max=32 key system
attr Tool symbol_name string max=64 system
attr Tool shell_tool typedref ref=Tool system
attr Tool output_formats string array system
attr Tool input_formats string array system
class User POMObject
attr User user_id string max=32 key system
attr User user_name string max=128
attr User password string system
attr User home_folder typedref ref=Folder system
attr User newstuff_folder typedref ref=Folder system
attr User default_group typedref ref=Group system
attr User status int system
class Group POMObject
attr Group name string max=32 key system
attr Group privilege int system
attr Group parent typedref ref=Group system
attr Group description string max=240
class Role POMObject
attr Role role_name string max=32 key system
attr Role description string max=240
class GroupMember POMObject
attr GroupMember user typedref ref=User system
attr GroupMember group typedref ref=Group system
attr GroupMember role typedref ref=Role system
attr GroupMember status int system
attr GroupMember default_role logical system
class Site POMObject
attr Site site_id int key system
attr Site name string max=128 system
class Volume POMObject
attr Volume volume_name string max=32 key system
attr Volume path string max=256 system
class UnitOfMeasure POMObject
attr UnitOfMeasure symbol string max=32 key system
attr UnitOfMeasure name string max=128 system
class ListOfValues POMObject
attr ListOfValues lov_name string max=32 key system
attr ListOfValues lov_type int system
attr ListOfValues exhaustive logical system
attr ListOfValues lov_values string array system
attr ListOfValues lov_displays string array system
attr ListOfValues lov_tags untypedref array system
class PropRule POMObject
attr PropRule type_name string max=32 system
attr PropRule property_name string max=64 system
attr PropRule initial string array system
attr PropRule complex string system
class NameRule POMObject
attr NameRule rule_name string max=32 key system
attr NameRule patterns string array system
class NameField POMObject
attr NameField type_name string max=32 system
attr NameField property_name string max=64 system
attr NameField rule typedref ref=NameRule system
class Project POMObject
attr Project project_id string max=32 key system
attr Project name string max=128
class WorkContext POMObject
attr WorkContext context_id string max=32 key system
attr WorkContext name string max=128 system
class PseudoFolder POMObject
attr PseudoFolder owner_object untypedref system backref
attr PseudoFolder property_name string max=64 system
relation OSTRA_master_form display="Master Form"
)";

}  // namespace vl::platform::site
